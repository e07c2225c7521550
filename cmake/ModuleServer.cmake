# The loopback module server for the tests that talk HTTP (tests/server/).
#
# mireth_use_module_server(<test>)
#   <test> requires the fixture "module_server": CTest runs module_server_start
#   before it and module_server_stop after the last test that needs it, also
#   when only some tests are selected. The test finds the server through the
#   environment variable MIRETH_TEST_SERVER, the path of the port file with the
#   lines "http <port>" and "https <port>" (tests/support/ModuleServer.h reads
#   it). Call it in the folder that adds <test>.
#
# The server runs on the build host with its python3, in the Windows tree too:
# these tests name python3, not a target, so CMake puts no emulator in front of
# them; only the test executables run under Wine, which reaches the server on
# 127.0.0.1 and reads the port file as Z:<path>.

find_program(MIRETH_PYTHON3 NAMES python3 REQUIRED)
find_program(MIRETH_OPENSSL NAMES openssl)

set(MIRETH_MODULE_SERVER_DIR ${PROJECT_SOURCE_DIR}/tests/server)
set(MIRETH_MODULE_SERVER_STATE ${CMAKE_BINARY_DIR}/module-server)

function(mireth_use_module_server test)
  get_property(added GLOBAL PROPERTY MIRETH_MODULE_SERVER_ADDED)
  if(NOT added)
    set_property(GLOBAL PROPERTY MIRETH_MODULE_SERVER_ADDED TRUE)
    set(tls "")
    if(MIRETH_OPENSSL)
      set(tls --https)
    endif()
    # The sample tree is rebuilt on every start, so a test that changed a file
    # cannot spoil the next run. The lifetime only guards against a run that
    # never reaches module_server_stop.
    add_test(NAME module_server_start
             COMMAND ${MIRETH_PYTHON3} ${MIRETH_MODULE_SERVER_DIR}/server_ctl.py start
                     --root ${MIRETH_MODULE_SERVER_STATE}/root --sample
                     --state-dir ${MIRETH_MODULE_SERVER_STATE} --lifetime 14400 ${tls})
    set_tests_properties(module_server_start PROPERTIES FIXTURES_SETUP module_server LABELS net TIMEOUT 60)
    add_test(NAME module_server_stop
             COMMAND ${MIRETH_PYTHON3} ${MIRETH_MODULE_SERVER_DIR}/server_ctl.py stop
                     --state-dir ${MIRETH_MODULE_SERVER_STATE})
    set_tests_properties(module_server_stop PROPERTIES FIXTURES_CLEANUP module_server LABELS net TIMEOUT 60)
  endif()
  set_property(TEST ${test} APPEND PROPERTY FIXTURES_REQUIRED module_server)
  # A proxy from the environment must not capture loopback requests.
  set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT
               MIRETH_TEST_SERVER=${MIRETH_MODULE_SERVER_STATE}/ports
               NO_PROXY=127.0.0.1,localhost no_proxy=127.0.0.1,localhost)
endfunction()

# The server's own tests start private servers; they need no fixture. Only in
# native trees: a Windows tree runs the same Python on the same host.
if(NOT CMAKE_CROSSCOMPILING)
  add_test(NAME module_server_selftest
           COMMAND ${MIRETH_PYTHON3} -m unittest -v test_module_server
           WORKING_DIRECTORY ${MIRETH_MODULE_SERVER_DIR})
  set_tests_properties(module_server_selftest PROPERTIES LABELS net TIMEOUT 300
                       ENVIRONMENT "PYTHONDONTWRITEBYTECODE=1;NO_PROXY=127.0.0.1,localhost;no_proxy=127.0.0.1,localhost")
endif()
