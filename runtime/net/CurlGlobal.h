#pragma once
// libcurl's process-wide state: initialised during static initialisation, right
// after the runtime's own state, with CURL_GLOBAL_ALL, and cleaned up at exit.

// The result of curl_global_init (CURLE_OK, 0, on success). Every network class
// calls it, which also keeps the initialiser linked into the program.
int curlGlobalInitResult();
