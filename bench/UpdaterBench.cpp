// The updater's own work against its baselines; scripts/bench prepares the server
// and the files and prints the ratios.
//
//   updater_bench list DOMAIN FOLDER       fetch, fill and mark a list, best of 5
//   updater_bench memory DOMAIN FOLDER     one such check: the process's peak resident
//                                          memory before it and after it
//   updater_bench parse LISTFILE FOLDER    baseline: jsoncpp parse alone, stat alone,
//                                          and the peak memory with jsoncpp's document
//   updater_bench flood DOMAIN FOLDER LISTFILE
//                                          a check of a list past its bounds (LISTFILE is
//                                          what DOMAIN answers): its time, status and rows,
//                                          and the peak memory; then jsoncpp's parse of the
//                                          same answer as one document, the peer
//   updater_bench update DOMAIN FOLDER [JOBS]
//                                          check, then download every listed file,
//                                          JOBS at once (default 4); prints the time,
//                                          the peak memory before and after, the files
//                                          placed and the full flushes made, and the
//                                          wall-clock time of the end (seconds since
//                                          1970, the server's clock on this machine)
//
// Each prints its figures on lines that begin with what they measure.
#include "runtime/core/RefPtr.h"
#include "runtime/platform/NoticeReceiver.h"
#include "updater/FileFinisher.h"
#include "updater/JobTracker.h"
#include "updater/MemoryRowTable.h"
#include "updater/ModuleListRules.h"
#include "updater/UpdateFlow.h"

#include <json/json.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace rg_quelt_app;
using Clock = std::chrono::steady_clock;

namespace {

double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

long peakRssKib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

rg_PeiZhiXinXiLei configFor(const char* domain, const char* folder) {
    rg_PeiZhiXinXiLei config;
    config.domain = CWString::fromUtf8(domain, std::strlen(domain));
    config.windowsFolder = CWString::fromUtf8(folder, std::strlen(folder));
    return config;
}

int listBench(const char* domain, const char* folder) {
    const rg_PeiZhiXinXiLei config = configFor(domain, folder);
    rg_MoKuaiGengXinYinQing engine;
    double best = 1e30;
    std::size_t rows = 0;
    for (int i = 0; i < 5; ++i) {
        const auto table = RefPtr<MemoryRowTable>::adopt(MemoryRowTable::create());
        const auto start = Clock::now();
        checkModules(engine, ModuleKind::Windows, *table, config);
        const double t = seconds(start);
        best = t < best ? t : best;
        rows = table->rowCount();
    }
    std::printf("list %.4f %zu\n", best, rows);
    return rows > 0 ? 0 : 1;
}

int memoryBench(const char* domain, const char* folder) {
    const rg_PeiZhiXinXiLei config = configFor(domain, folder);
    rg_MoKuaiGengXinYinQing engine;
    const auto table = RefPtr<MemoryRowTable>::adopt(MemoryRowTable::create());
    const long resting = peakRssKib();
    checkModules(engine, ModuleKind::Windows, *table, config);
    std::printf("memory %ld %ld %zu\n", resting, peakRssKib(), table->rowCount());
    return table->rowCount() > 0 ? 0 : 1;
}

int parseBench(const char* listFile, const char* folder) {
    std::ifstream in(listFile, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const std::string document = text.str();
    const long resting = peakRssKib();
    long withDocument = 0;
    double bestParse = 1e30;
    double bestStat = 1e30;
    for (int i = 0; i < 5; ++i) {
        const auto start = Clock::now();
        Json::Value root;
        Json::CharReaderBuilder builder;
        std::string errors;
        std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
        reader->parse(document.data(), document.data() + document.size(), &root, &errors);
        const double parse = seconds(start);
        if (i == 0)
            withDocument = peakRssKib();
        const auto statStart = Clock::now();
        std::size_t found = 0;
        for (const Json::Value& entry : root["data"]) {
            struct stat info {};
            const std::string path = std::string(folder) + "/" + entry["path"].asString();
            found += stat(path.c_str(), &info) == 0;
        }
        const double statTime = seconds(statStart);
        bestParse = parse < bestParse ? parse : bestParse;
        bestStat = statTime < bestStat ? statTime : bestStat;
        if (found == 0)
            return 1;
    }
    std::printf("parse %.4f\nstat %.4f\ndocument %ld %ld\n", bestParse, bestStat, resting, withDocument);
    return 0;
}

int floodBench(const char* domain, const char* folder, const char* listFile) {
    const rg_PeiZhiXinXiLei config = configFor(domain, folder);
    rg_MoKuaiGengXinYinQing engine;
    const auto table = RefPtr<MemoryRowTable>::adopt(MemoryRowTable::create());
    const long resting = peakRssKib();
    const auto start = Clock::now();
    const CheckResult result = checkModules(engine, ModuleKind::Windows, *table, config);
    const double ours = seconds(start);
    const long peak = peakRssKib();
    std::printf("flood %.4f %ld %ld %zu %d %s\n", ours, resting, peak, table->rowCount(),
                static_cast<int>(result.list.status), reasonText(result.list.reason).toUtf8String().c_str());

    std::ifstream in(listFile, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const std::string document = text.str();
    const long beforeDocument = peakRssKib();
    const auto parseStart = Clock::now();
    Json::Value root;
    std::unique_ptr<Json::CharReader> reader(Json::CharReaderBuilder().newCharReader());
    reader->parse(document.data(), document.data() + document.size(), &root, nullptr);
    std::printf("document %.4f %ld %ld %u\n", seconds(parseStart), beforeDocument, peakRssKib(),
                root["data"].size());
    return table->rowCount() == 0 && result.outcome == CheckOutcome::Failed ? 0 : 1;
}

int updateBench(const char* domain, const char* folder, int jobs) {
    const rg_PeiZhiXinXiLei config = configFor(domain, folder);
    rg_MoKuaiGengXinYinQing engine;
    TransferSettings settings;
    settings.parallelDownloads = jobs;
    engine.setTransferSettings(settings);
    const auto table = RefPtr<MemoryRowTable>::adopt(MemoryRowTable::create());
    checkModules(engine, ModuleKind::Windows, *table, config);
    const long before = peakRssKib();
    const auto tracker = RefPtr<JobTracker>::adopt(JobTracker::create(*table));
    const std::uint64_t flushesBefore = FileFinisher::fullFlushCount();
    const auto start = Clock::now();
    updateModules(engine, ModuleKind::Windows, *table, true, config, *tracker);
    while (engine.isDownloading())
        platform::serviceNotices(5);
    const double t = seconds(start);
    const JobTracker::Figures figures = tracker->figures();
    const double ended =
        std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
    // The full disk flushes the finishing thread made for the job, then the end.
    std::printf("update %.4f %ld %ld %zu/%zu %llu %.6f\n", t, before, peakRssKib(), figures.succeeded,
                table->rowCount(),
                static_cast<unsigned long long>(FileFinisher::fullFlushCount() - flushesBefore), ended);
    return figures.succeeded == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "list") == 0)
        return listBench(argv[2], argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "memory") == 0)
        return memoryBench(argv[2], argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "parse") == 0)
        return parseBench(argv[2], argv[3]);
    if (argc == 5 && std::strcmp(argv[1], "flood") == 0)
        return floodBench(argv[2], argv[3], argv[4]);
    if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "update") == 0)
        return updateBench(argv[2], argv[3],
                           argc == 5 ? std::atoi(argv[4]) : TransferSettings::kDefaultParallel);
    std::fprintf(stderr, "usage: %s list|memory|parse|flood|update ...\n", argv[0]);
    return 2;
}
