#pragma once
// The order in which the process-wide objects come to life before the entry
// function runs (GCC init_priority; lower runs first, destruction is the reverse).
// Everything without a priority is constructed after all of these.
#define QUELT_INIT_RUNTIME 1001
#define QUELT_INIT_CURL 1002
#define QUELT_INIT_CONFIG 1003
#define QUELT_INIT_REQUEST_HEADERS 1004
#define QUELT_INIT_DOWNLOAD_ACCESS 1005
#define QUELT_INIT_WINDOW_MODULE 1006

#define QUELT_INIT_PRIORITY(level) __attribute__((init_priority(level)))

// A record of which process-wide objects were constructed, in order, for the
// start-up checks. Safe to call during static initialisation.
void noteStaticInit(const char* name);
int staticInitCount();
const char* staticInitName(int index);
