// Throughput of the logging hub against spdlog's asynchronous logger, both writing the same
// lines to a file, from 1, 2 and 4 posting threads. Every line is counted afterwards: a
// benchmark that loses messages measures nothing.
#include <spdlog/async.h>
#include <spdlog/sinks/basic_file_sink.h>
#include <spdlog/spdlog.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "logging/DDFileLogger.h"
#include "logging/DDLog.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRounds = 3;

// The same fields in the same order as the spdlog pattern below.
class BenchFormatter : public DDLogFormatter {
  public:
    std::optional<std::string> formatLogMessage(const DDLogMessage& message) override {
        char line[512];
        const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(
                                message.timestamp.time_since_epoch())
                                .count();
        std::snprintf(line, sizeof line, "%lld I %ld %s", static_cast<long long>(millis),
                      message.machThreadID, message.logMsg.c_str());
        return std::string(line);
    }
};

std::size_t countLines(const fs::path& folder) {
    std::size_t lines = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::ifstream in(entry.path());
        std::string line;
        while (std::getline(in, line)) {
            ++lines;
        }
    }
    return lines;
}

template <typename Post>
double run(int threads, int perThread, Post post) {
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> posters;
    for (int t = 0; t < threads; ++t) {
        posters.emplace_back([&, t] {
            for (int i = 0; i < perThread; ++i) {
                post(t, i);
            }
        });
    }
    for (auto& poster : posters) {
        poster.join();
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double hubRate(const fs::path& folder, int threads, int perThread) {
    auto manager = std::make_shared<DDLogFileManagerDefault>(folder);
    manager->setMaximumNumberOfLogFiles(0);
    auto logger = std::make_shared<DDFileLogger>(manager);
    logger->maximumFileSize = 0;
    logger->setLogFormatter(std::make_shared<BenchFormatter>());
    DDLog::addLogger(logger);
    const double seconds = run(threads, perThread, [](int t, int i) {
        DDLog::log(true, 31, 16, 1, __FILE__, __func__, __LINE__, nullptr,
                   "thread %d message %d of the benchmark", t, i);
    });
    DDLog::flushLog();
    const double elapsed = seconds;
    DDLog::removeAllLoggers();
    return threads * perThread / elapsed;
}

double spdlogRate(const fs::path& folder, int threads, int perThread) {
    spdlog::init_thread_pool(8192, 1);
    auto logger = spdlog::basic_logger_mt<spdlog::async_factory>(
        "bench", (folder / "spdlog.log").string(), true);
    logger->set_pattern("%E%e I %t %v");
    const double seconds = run(threads, perThread, [&](int t, int i) {
        logger->info("thread {} message {} of the benchmark", t, i);
    });
    logger->flush();
    spdlog::drop("bench");
    spdlog::shutdown();
    return threads * perThread / seconds;
}

}  // namespace

int main(int argc, char** argv) {
    const int perThreadTotal = argc > 1 ? std::stoi(argv[1]) : 400000;
    const fs::path root =
        fs::temp_directory_path() / ("vt-bench-logging-" + std::to_string(getpid()));
    std::printf("%-8s %16s %16s %8s\n", "threads", "hub msg/s", "spdlog msg/s", "ratio");
    bool lost = false;
    for (int threads : {1, 2, 4}) {
        const int perThread = perThreadTotal / threads;
        const std::size_t expected = static_cast<std::size_t>(threads) * perThread;
        // The best of a few runs taken in turns, so that a busy moment of a shared machine
        // does not decide the ratio.
        double hub = 0;
        double spd = 0;
        bool lostHere = false;
        for (int round = 0; round < kRounds; ++round) {
            const std::string name = std::to_string(threads) + "-" + std::to_string(round);
            const fs::path hubFolder = root / ("hub-" + name);
            const fs::path spdFolder = root / ("spdlog-" + name);
            fs::create_directories(hubFolder);
            fs::create_directories(spdFolder);
            hub = std::max(hub, hubRate(hubFolder, threads, perThread));
            spd = std::max(spd, spdlogRate(spdFolder, threads, perThread));
            lostHere =
                lostHere || countLines(hubFolder) != expected || countLines(spdFolder) != expected;
            fs::remove_all(hubFolder);
            fs::remove_all(spdFolder);
        }
        std::printf("%-8d %16.0f %16.0f %8.2f  (spdlog/hub: %.2fx)%s\n", threads, hub, spd,
                    hub / spd, spd / hub, lostHere ? "  LOST MESSAGES" : "");
        lost = lost || lostHere;
    }
    fs::remove_all(root);
    return lost ? 1 : 0;
}
