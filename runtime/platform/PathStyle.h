#pragma once
// Which form the running platform's paths take: '\' and drive letters on Windows,
// '/' and the root "/" elsewhere. The path rules themselves are written once for
// both forms (runtime/core/Paths.h); this only says which one is at home.
namespace platform {

#ifdef _WIN32
inline constexpr bool kWindowsPaths = true;
#else
inline constexpr bool kWindowsPaths = false;
#endif

} // namespace platform
