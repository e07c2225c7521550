#pragma once
// The download worker: the thread procedure that runs one job (DownloadJobRunner)
// with the observer, the job and the transfer settings its thread state carries.
// The engine's stop (the thread state's stopEvent) and the observer's stop request
// both end it within a fraction of a second, leaving no temporary file.
#include "runtime/data/rg_XianChengZhuangTaiLei.h"

namespace rg_quelt_app {

// Slot 0 holds the observer (ObserverRef), slot 1 the job (rg_XiaZaiShuJu), slot 2
// the settings (TransferSettings; the defaults when empty).
void DownloadWorker(rg_quelt_base::rg_XianChengZhuangTaiLei* state);

} // namespace rg_quelt_app
