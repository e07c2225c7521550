# Turns the screenshots in FOLDER from BMP into PNG files with ImageMagick
# (CONVERT: its convert or magick program) and removes the BMP files.
#   cmake -DCONVERT=<program> -DFOLDER=<folder> -P ScreenshotsToPng.cmake
file(GLOB pictures "${FOLDER}/*.bmp")
foreach(bmp IN LISTS pictures)
  string(REGEX REPLACE "\\.bmp$" ".png" png "${bmp}")
  execute_process(COMMAND "${CONVERT}" "${bmp}" "${png}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${CONVERT} could not turn ${bmp} into ${png}")
  endif()
  file(REMOVE "${bmp}")
endforeach()
