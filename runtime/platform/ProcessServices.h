#pragma once
// Process-wide services of the desktop platform that the application shell calls at
// start-up and shutdown. On a platform without them they are harmless no-ops.

namespace platform {

// Initialises COM for the calling thread in apartment mode; true on success.
bool comInitialize();
void comUninitialize();
void socketsCleanup();
void freeLibrary(void* library);

// Shows an error report to the user: a message box without owner on Windows,
// a line on standard error elsewhere.
void showErrorMessage(const char16_t* text, const char16_t* caption);

} // namespace platform
