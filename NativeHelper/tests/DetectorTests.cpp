// The file-open detector with a fake tracer: a shell script that prints chosen lines, so that
// parsing, path rules, the tracer's life and invalidation are checked without tracing anything.
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "FileOpenDetection/ZedFileOpenDetector.h"
#include "FileOpenDetection/ZedOpenPathRules.h"
#include "FileOpenDetection/ZedTracerLine.h"
#include "FileOpenDetection/ZedTracerLineBuffer.h"
#include "include/vtnative.h"
#include "platform/tracing/ZedBpftraceProgram.h"

namespace {

// A guard against hangs only; nothing waits for it when things work.
constexpr std::chrono::seconds kGuard{60};
const std::string kSep = "kZedGenericStringSeparator";

struct Opening {
    std::string path, processName, userName;
    std::int64_t time;
};

// What the C callbacks received, across the test process.
struct Seen {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Opening> openings;
    std::vector<std::pair<std::string, int>> logs;
    std::function<void()> duringCallback;
    std::atomic<bool> invalidated{false};
    std::atomic<int> afterInvalidate{0};

    void clear() {
        std::lock_guard lock(mutex);
        openings.clear();
        logs.clear();
        duringCallback = nullptr;
        invalidated = false;
        afterInvalidate = 0;
    }
    template <typename Predicate>
    bool waitFor(Predicate predicate) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, kGuard, [&] { return predicate(*this); });
    }
    bool logged(const std::string& text) {
        for (const auto& [message, level] : logs) {
            if (message.find(text) != std::string::npos) {
                return true;
            }
        }
        return false;
    }
    std::vector<std::string> paths() {
        std::lock_guard lock(mutex);
        std::vector<std::string> list;
        for (const Opening& opening : openings) {
            list.push_back(opening.path);
        }
        return list;
    }
};
Seen seen;

void onOpened(const zed_file_opened_record_t* record) {
    if (seen.invalidated) {
        ++seen.afterInvalidate;
    }
    std::function<void()> hook;
    {
        std::lock_guard lock(seen.mutex);
        seen.openings.push_back(
            {record->path, record->processName, record->userName, record->time});
        hook = seen.duringCallback;
    }
    seen.changed.notify_all();
    if (hook) {
        hook();
    }
}

void onLog(const char* message, int32_t level) {
    if (seen.invalidated) {
        ++seen.afterInvalidate;
    }
    {
        std::lock_guard lock(seen.mutex);
        seen.logs.emplace_back(message, level);
    }
    seen.changed.notify_all();
}

// Runs `script` with /bin/sh in place of bpftrace.
class FakeTracer : public ZedTracer {
  public:
    explicit FakeTracer(std::string script, std::string missing = {}, std::size_t longest = 0)
        : script_(std::move(script)), missing_(std::move(missing)), longest_(longest) {}
    std::string missingPrerequisite() override { return missing_; }
    std::optional<Command> commandFor(const std::vector<std::string>&, const Refusal&) override {
        return Command{"/bin/sh", {"-c", script_}, {{"FAKE_TRACER", "1"}}};
    }
    std::size_t longestWholePath() const override { return longest_; }

  private:
    std::string script_, missing_;
    std::size_t longest_;
};

class TemporaryFolder {
  public:
    TemporaryFolder() {
        char pattern[] = "/tmp/vtnative-detector-XXXXXX";
        root_ = mkdtemp(pattern);
    }
    ~TemporaryFolder() { std::filesystem::remove_all(root_); }
    std::string path(const std::string& name) const { return root_ + "/" + name; }
    const std::string& root() const { return root_; }

  private:
    std::string root_;
};

std::string line(const std::string& uid, const std::string& name, const std::string& path) {
    return uid + kSep + name + kSep + path;
}

// printf arguments for a shell script: each line quoted, with its line end.
std::string printed(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& each : lines) {
        text += "printf '%s\\n' '" + each + "'; ";
    }
    return text;
}

std::shared_ptr<ZedFileOpenDetector> detector(const std::string& script,
                                              const std::vector<std::string>& included,
                                              const std::vector<std::string>& excluded = {},
                                              std::string missing = {}, std::size_t longest = 0) {
    return ZedFileOpenDetector::initWithCallback(
        onOpened, onLog, 7, {"editor"}, included, excluded,
        std::make_shared<FakeTracer>(script, std::move(missing), longest));
}

class DetectorTest : public ::testing::Test {
  protected:
    void SetUp() override { seen.clear(); }
};

TEST(DetectorPathRules, LongestListedDirectoryDecides) {
    TemporaryFolder folder;
    const std::string a = folder.path("a");
    std::string offending;
    const auto rules = ZedOpenPathRules::make({a, a + "/tmp/keep/"}, {a + "/tmp"}, offending);
    ASSERT_TRUE(rules);
    const std::pair<std::string, bool> cases[] = {
        {a + "/doc.txt", true},
        {a + "/tmp/x", false},      // an excluded directory inside an included one
        {a + "/tmpfile", true},     // a sibling whose name starts like the excluded one
        {a + "/tmp/keep/y", true},  // an included directory inside an excluded one
        {a + "/tmp/keeper", false},
        {a, false},  // the directory itself is not under itself
        {folder.path("ab/c"), false},
        {"relative/a/doc.txt", false},
        {"", false},
    };
    for (const auto& [path, watched] : cases) {
        EXPECT_EQ(rules->isFileWatched(path), watched) << path;
    }
    EXPECT_EQ(rules->sortedPaths().front(), a + "/tmp/keep/");
    EXPECT_EQ(rules->excludedPaths(), std::vector<std::string>{a + "/tmp/"});
}

TEST(DetectorLines, PiecesOfAnyCutGiveEachLineOnce) {
    ZedTracerLineBuffer buffer;
    EXPECT_TRUE(buffer.linesIn("0kZed").empty());
    EXPECT_EQ(buffer.linesIn("GenericStringSeparatorx\n\n1"),
              std::vector<std::string>{"0kZedGenericStringSeparatorx"});
    EXPECT_EQ(buffer.lastLine(), "1");
    EXPECT_EQ(buffer.linesIn("2\n3\n"), (std::vector<std::string>{"12", "3"}));
    EXPECT_EQ(buffer.lastLine(), "");
    // A line that never ends is given out, not kept for ever.
    EXPECT_EQ(buffer.linesIn(std::string(ZedTracerLineBuffer::kLongestLine + 1, 'x')).size(), 1u);
    EXPECT_EQ(buffer.lastLine(), "");

    const std::pair<std::string, bool> lines[] = {
        {line("501", "editor", "/a b/c"), true},
        {line("4294967295", "editor", "/p"), true},
        {line("4294967296", "editor", "/p"), false},  // not 32 bits
        {line("-1", "editor", "/p"), false},
        {line("", "editor", "/p"), false},
        {line("12x", "editor", "/p"), false},
        {line("0", "editor", "/p" + kSep + "q"), false},
        {"0" + kSep + "editor", false},
        {line("0", "editor", "/\xff"), false},
        {"Lost 12 events", false},
    };
    for (const auto& [text, parses] : lines) {
        EXPECT_EQ(ZedTracerLine::parse(text).has_value(), parses) << text;
    }
    const auto parsed = ZedTracerLine::parse(line("501", "editor", "/a b/c"));
    EXPECT_EQ(parsed->userId, 501u);
    EXPECT_EQ(parsed->processName, "editor");
    EXPECT_EQ(parsed->path, "/a b/c");
}

TEST(DetectorProbe, DtraceArgumentAndTheBpftraceProgram) {
    const auto watcher =
        ZedFileAccessWatcher::initWithDelegate({}, {"Finder", "Word", "Finder"}, nullptr);
    EXPECT_EQ(watcher->dtraceArgument(),
              "syscall::open*:entry / execname == \"Finder\" || execname == \"Word\" || "
              "execname == \"Finder\" / { printf(\"%ukZedGenericStringSeparator%skZedGeneric"
              "StringSeparator%s\\n\", uid, execname, copyinstr(arg0)); }");
    EXPECT_EQ(ZedFileAccessWatcher::initWithDelegate({}, {}, nullptr)->dtraceArgument(), "");

    std::vector<std::string> refused;
    const auto program = ZedBpftraceProgram::text(
        {"soffice.bin", "a\"b", "back\\slash", "tab\there", "", "a-very-long-process-name"},
        [&](const std::string& reason) { refused.push_back(reason); });
    ASSERT_TRUE(program);
    EXPECT_EQ(refused.size(), 4u);
    EXPECT_NE(program->find("curtask->group_leader->comm == \"soffice.bin\" || "
                            "curtask->group_leader->comm == \"a-very-long-pro\" /"),
              std::string::npos);
    EXPECT_EQ(program->find("a\"b"), std::string::npos);
    EXPECT_NE(program->find("printf(\"%ukZedGenericStringSeparator%skZedGenericStringSeparator"
                            "%s\\n\", uid, curtask->group_leader->comm, str(@path[tid]));"),
              std::string::npos);
    EXPECT_NE(program->find("if (args->ret >= 0)"), std::string::npos);
    EXPECT_FALSE(ZedBpftraceProgram::text({"x\ny"}, [](const std::string&) {}));
}

// Every check of create_detector, in order, with the message the log callback receives.
TEST_F(DetectorTest, ArgumentChecksThroughTheCInterface) {
    const char* names[] = {"editor"};
    const char* namesWithNull[] = {"editor", nullptr};
    const char* included[] = {"/tmp/in"};
    const char* badText[] = {"/tmp/\xff"};
    const char* excluded[] = {"/tmp/in/ex"};
    struct Case {
        zed_file_opened_callback_t callback;
        const char* const* names;
        int32_t numNames;
        const char* const* included;
        int32_t numIncluded;
        const char* const* excluded;
        int32_t numExcluded;
        const char* message;
    };
    const Case cases[] = {
        {nullptr, names, 1, included, 1, excluded, 1, "callback is nil"},
        {onOpened, nullptr, 1, included, 1, excluded, 1, "processNames is nil"},
        {onOpened, names, 0, included, 1, excluded, 1, "numNames is less than 1"},
        {onOpened, names, 1, nullptr, 1, excluded, 1, "includedPaths is nil"},
        {onOpened, names, 1, included, 0, excluded, 1, "numIncPaths is less than 1"},
        {onOpened, names, 1, included, 1, excluded, -1, "numExcPaths is less than 0"},
        {onOpened, names, 1, included, 1, nullptr, 1,
         "excludedPaths is nil but numExcPaths is non-zero"},
        {onOpened, namesWithNull, 2, included, 1, excluded, 1,
         "Number of processes doesn't match number given. Unable to create open detector."},
        {onOpened, names, 1, badText, 1, excluded, 1,
         "Number of included paths doesn't match number given. Unable to create open detector."},
        {onOpened, names, 1, included, 1, namesWithNull + 1, 1,
         "Number of excluded paths doesn't match number given. Unable to create open detector."},
        {onOpened, names, 1, included, 1, included, 1,
         "excludedPaths contains the same path as includedPaths. Unable to create detector. "
         "Offending path: (/tmp/in/)"},
    };
    for (const Case& c : cases) {
        seen.clear();
        EXPECT_EQ(create_detector(c.callback, onLog, 3, c.names, c.numNames, c.included,
                                  c.numIncluded, c.excluded, c.numExcluded),
                  nullptr)
            << c.message;
        std::lock_guard lock(seen.mutex);
        ASSERT_EQ(seen.logs.size(), 1u) << c.message;
        EXPECT_EQ(seen.logs[0], std::make_pair(std::string(c.message), 3));
    }
    // An excluded path that differs from an included one only by its trailing "/".
    const char* slashed[] = {"/tmp/in/"};
    seen.clear();
    EXPECT_EQ(create_detector(onOpened, onLog, 3, names, 1, included, 1, slashed, 1), nullptr);
    EXPECT_TRUE(seen.logged("Offending path: (/tmp/in/)"));
    // A threshold above the error level keeps argument errors from the log callback; a missing
    // log callback is no fault.
    seen.clear();
    EXPECT_EQ(create_detector(nullptr, onLog, 4, names, 1, included, 1, nullptr, 0), nullptr);
    EXPECT_EQ(create_detector(nullptr, nullptr, 0, names, 1, included, 1, nullptr, 0), nullptr);
    EXPECT_TRUE(seen.logs.empty());

    void* handle = create_detector(onOpened, onLog, 3, names, 1, included, 1, nullptr, 0);
    EXPECT_NE(handle, nullptr);
    invalidate_detector(handle);
    invalidate_detector(nullptr);
    start_detection(nullptr);
    stop_detection(nullptr);
}

TEST(DetectorLogCallback, ExecutesAtOrAboveTheThreshold) {
    const std::tuple<int, int, bool> cases[] = {
        {3, 3, true}, {3, 4, true}, {4, 3, false}, {0, 0, true}, {7, 6, false}};
    for (const auto& [threshold, level, delivered] : cases) {
        seen.clear();
        _execute_log_callback(onLog, threshold, "hello", level);
        EXPECT_EQ(seen.logs.size(), delivered ? 1u : 0u) << threshold << " " << level;
    }
    _execute_log_callback(nullptr, 0, "nobody", 3);
}

TEST_F(DetectorTest, ReportsWatchedOpeningsOnceEach) {
    TemporaryFolder folder;
    const std::string in = folder.path("in"), ex = folder.path("in/tmp");
    // The second line arrives in two writes with a pause between them.
    const std::string split = line("0", "editor", in + "/split.txt");
    const std::string script =
        printed({line("0", "editor", in + "/a.txt"), line("0", "editor", ex + "/hidden"),
                 line("4000000000", "editor", in + "/nobody.txt")}) +
        "printf '%s' '" + split.substr(0, 10) + "'; sleep 0.3; printf '%s\\n' '" +
        split.substr(10) + "'; " +
        printed({line("0", "editor", in + "/odd" + kSep + "name"), "Lost 7 events",
                 line("0", "editor", in + "/tmpfile"), line("0", "editor", in + "/end")}) +
        "exec sleep 600";
    const auto tested = detector(script, {in}, {ex});
    ASSERT_TRUE(tested);
    const auto before = std::chrono::system_clock::now();
    tested->enable();
    ASSERT_TRUE(seen.waitFor(
        [&](Seen& s) { return !s.openings.empty() && s.openings.back().path == in + "/end"; }));
    EXPECT_EQ(seen.paths(),
              (std::vector<std::string>{in + "/a.txt", in + "/nobody.txt", in + "/split.txt",
                                        in + "/tmpfile", in + "/end"}));
    {
        std::lock_guard lock(seen.mutex);
        EXPECT_EQ(seen.openings[0].userName, "root");
        EXPECT_EQ(seen.openings[0].processName, "editor");
        EXPECT_EQ(seen.openings[1].userName, "");
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(before.time_since_epoch())
                .count();
        EXPECT_GE(seen.openings[0].time, ms);
    }
    ASSERT_TRUE(seen.waitFor([&](Seen& s) {
        return s.logged("dtrace received a strange result: " +
                        line("0", "editor", in + "/odd" + kSep + "name"));
    }));
    EXPECT_TRUE(seen.waitFor([](Seen& s) {
        return s.logged("dtrace could not keep up, file opens were not reported: Lost 7 events");
    }));
    tested->invalidate();
}

TEST_F(DetectorTest, TracerThatEndsByItselfIsStartedAgain) {
    TemporaryFolder folder;
    const std::string in = folder.path("in");
    const std::string count = folder.path("runs");
    // Each run prints its number, complains on standard error and exits with status 3.
    const std::string script = "echo x >> " + count + "; n=$(wc -l < " + count + "); printf '0" +
                               kSep + "editor" + kSep + in +
                               "/run%s\\n' $n; echo 'boom' >&2; exit 3";
    const auto tested = detector(script, {in});
    ASSERT_TRUE(tested);
    tested->enable();
    ASSERT_TRUE(seen.waitFor([](Seen& s) { return s.logged("dtrace exited with status 3"); }));
    EXPECT_TRUE(seen.waitFor([](Seen& s) { return s.logged("dtrace: boom"); }));
    EXPECT_FALSE(tested->fileAccessWatcher()->isStarted());
    tested->enable();
    ASSERT_TRUE(seen.waitFor([](Seen& s) { return s.openings.size() == 2; }));
    EXPECT_EQ(seen.paths(), (std::vector<std::string>{in + "/run1", in + "/run2"}));
    {
        std::lock_guard lock(seen.mutex);
        for (const auto& [message, level] : seen.logs) {
            EXPECT_EQ(level, 4) << message;
        }
    }
    tested->invalidate();
}

TEST_F(DetectorTest, MissingPrerequisiteIsWarnedAboutAndLeavesItStopped) {
    const auto tested = detector("echo never", {"/tmp"}, {}, "bpftrace is not installed");
    ASSERT_TRUE(tested);
    tested->enable();
    ASSERT_TRUE(seen.waitFor([](Seen& s) {
        return s.logged("Unable to start detecting file opens: bpftrace is not installed.");
    }));
    EXPECT_FALSE(tested->fileAccessWatcher()->isStarted());
    {
        std::lock_guard lock(seen.mutex);
        EXPECT_EQ(seen.logs.size(), 1u);
        EXPECT_EQ(seen.logs[0].second, 4);
    }
    tested->invalidate();
}

TEST_F(DetectorTest, PathsTheTracerMayHaveCutAreNotReported) {
    const std::string whole = "/tmp/in/short", cut = "/tmp/in/" + std::string(20, 'c');
    const auto tested =
        detector(printed({line("0", "editor", cut), line("0", "editor", whole)}) + "exec sleep 600",
                 {"/tmp/in"}, {}, {}, 20);
    ASSERT_TRUE(tested);
    tested->enable();
    ASSERT_TRUE(seen.waitFor([](Seen& s) { return s.openings.size() == 1; }));
    EXPECT_EQ(seen.paths(), std::vector<std::string>{whole});
    EXPECT_TRUE(seen.waitFor([&](Seen& s) { return s.logged("not reported: " + cut); }));
    tested->invalidate();
}

// A tracer that ignores SIGTERM is killed a second later, and reaped: stop returns with no
// process left, and a start after it launches a new tracer.
TEST_F(DetectorTest, StopEndsEvenAStubbornTracer) {
    TemporaryFolder folder;
    const std::string pids = folder.path("pids");
    const std::string script = "trap '' TERM; echo $$ >> " + pids + "; printf '0" + kSep +
                               "editor" + kSep + "/tmp/in/ready\\n'; while :; do sleep 0.05; done";
    const auto tested = detector(script, {"/tmp/in"});
    ASSERT_TRUE(tested);
    for (std::size_t round = 1; round <= 2; ++round) {
        tested->enable();
        ASSERT_TRUE(seen.waitFor([round](Seen& s) { return s.openings.size() == round; }));
        tested->disable();
        EXPECT_FALSE(tested->fileAccessWatcher()->isStarted());
    }
    std::ifstream list(pids);
    int pid = 0, count = 0;
    while (list >> pid) {
        ++count;
        EXPECT_NE(kill(pid, 0), 0) << "tracer " << pid << " is still there";
    }
    EXPECT_EQ(count, 2);
    tested->invalidate();
}

// Invalidation from another thread while callbacks flow, and from inside a callback.
TEST_F(DetectorTest, NoCallbackAfterInvalidateReturns) {
    const std::string flood =
        "while :; do " + printed({line("0", "editor", "/tmp/in/f")}) + "printf 'garbage\\n'; done";
    for (int round = 0; round < 5; ++round) {
        seen.clear();
        const auto tested = detector(flood, {"/tmp/in"});
        ASSERT_TRUE(tested);
        tested->enable();
        ASSERT_TRUE(seen.waitFor([](Seen& s) { return s.openings.size() > 20; }));
        std::thread([&] { tested->invalidate(); }).join();
        seen.invalidated = true;
        std::this_thread::yield();
        EXPECT_EQ(seen.afterInvalidate.load(), 0);
    }
    seen.clear();
    const auto tested = detector(flood, {"/tmp/in"});
    ASSERT_TRUE(tested);
    std::atomic<bool> returned{false};
    seen.duringCallback = [&] {
        if (!returned.exchange(true)) {
            tested->invalidate();
            seen.invalidated = true;
        }
    };
    tested->enable();
    ASSERT_TRUE(seen.waitFor([&](Seen&) { return returned.load(); }));
    // Whatever was queued meanwhile stays undelivered.
    std::thread([&] { tested->disable(); }).join();
    EXPECT_EQ(seen.afterInvalidate.load(), 0);
}

}  // namespace
