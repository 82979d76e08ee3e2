#include "FileOpenDetection/ZedFileAccessWatcher.h"

#include "Categories/ZedUnixTimeInMS.h"
#include "Dispatch/zed_dispatch_helpers.h"
#include "FileOpenDetection/ZedTracerLine.h"
#include "Logging/ZedLogging/ZedLog.h"
#include "include/vtnative.h"
#include "platform/tracing/ZedBpftraceProgram.h"

namespace {

constexpr int kWarning = 4;

std::string queueLabel(const char* role, const void* owner) {
    return zed::dispatch_queue_label("ZedFileAccessWatcher", role, owner);
}

// bpftrace's own line when its buffer overflowed: "Lost 12 events".
bool isLossNotice(std::string_view line) {
    constexpr std::string_view kStart = "Lost ", kEnd = " events";
    return line.size() > kStart.size() + kEnd.size() && line.substr(0, kStart.size()) == kStart &&
           line.substr(line.size() - kEnd.size()) == kEnd &&
           line.substr(kStart.size(), line.size() - kStart.size() - kEnd.size())
                   .find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

std::shared_ptr<ZedFileAccessWatcher> ZedFileAccessWatcher::initWithDelegate(
    std::weak_ptr<ZedFileAccessWatcherDelegate> delegate, std::vector<std::string> processNames,
    std::shared_ptr<ZedTracer> tracer) {
    std::shared_ptr<ZedFileAccessWatcher> watcher(new ZedFileAccessWatcher());
    watcher->_loopQueue = zed::dispatch_queue_create(queueLabel("loop", watcher.get()).c_str(),
                                                     ZedDispatchQueueKind::serial);
    watcher->_notifyQueue = zed::dispatch_queue_create(queueLabel("notify", watcher.get()).c_str(),
                                                       ZedDispatchQueueKind::serial);
    watcher->_startQueue = zed::dispatch_queue_create(queueLabel("start", watcher.get()).c_str(),
                                                      ZedDispatchQueueKind::serial);
    if (!watcher->_loopQueue || !watcher->_notifyQueue || !watcher->_startQueue) {
        return nullptr;
    }
    watcher->_delegate = std::move(delegate);
    watcher->_processNames = std::move(processNames);
    watcher->_tracer = std::move(tracer);
    return watcher;
}

ZedFileAccessWatcher::~ZedFileAccessWatcher() {
    _dtraceTask.reset();
}

void ZedFileAccessWatcher::setIsStarted(bool isStarted) {
    zed::dispatch_sync_to_queue(_startQueue.get(), [this, isStarted] { _isStarted = isStarted; });
}

bool ZedFileAccessWatcher::isStarted() {
    bool started = false;
    zed::dispatch_sync_to_queue(_startQueue.get(), [this, &started] { started = _isStarted; });
    return started;
}

void ZedFileAccessWatcher::start() {
    std::weak_ptr<ZedFileAccessWatcher> weakSelf = weak_from_this();
    _startQueue->async([weakSelf] {
        const auto self = weakSelf.lock();
        if (!self) {
            ZedLogErrorIn("start", ZedLogMaskInfo, ZedLogContextPlatform, "strongSelf is nil");
            return;
        }
        if (self->_isStarted) {
            return;
        }
        self->_isStarted = true;
        const std::uint64_t start = ++self->_startNumber;
        self->_loopQueue->async([weakSelf, start] {
            if (const auto strongSelf = weakSelf.lock()) {
                strongSelf->launch(start);
            }
        });
    });
}

void ZedFileAccessWatcher::launch(std::uint64_t start) {
    if (_startNumber.load() != start) {
        return;
    }
    std::vector<std::string> names;
    {
        std::lock_guard lock(_namesMutex);
        names = _processNames;
    }
    if (names.empty()) {
        startFailed(start);
        tell("Unable to generate dtrace probe. No processes to watch.", kWarning);
        return;
    }
    const std::string missing = _tracer->missingPrerequisite();
    if (!missing.empty()) {
        startFailed(start);
        tell("Unable to start detecting file opens: " + missing + ".", kWarning);
        return;
    }
    const std::optional<ZedTracer::Command> command =
        _tracer->commandFor(names, [this](const std::string& reason) { tell(reason, kWarning); });
    if (!command) {
        startFailed(start);
        tell("Unable to generate dtrace probe.", kWarning);
        return;
    }
    // The reader thread only hands its findings to the loop queue, where a stale run is ignored.
    const std::shared_ptr<ZedDispatchQueue> loop = _loopQueue;
    std::weak_ptr<ZedFileAccessWatcher> weakSelf = weak_from_this();
    const auto onLoop = [loop, weakSelf, start](auto body) {
        loop->async([weakSelf, start, body = std::move(body)] {
            const auto self = weakSelf.lock();
            if (self && self->_dtraceTask && self->_run == start) {
                body(*self);
            }
        });
    };
    ZedTracerProcess::Handlers handlers{
        [onLoop](std::string_view bytes) {
            onLoop([data = std::string(bytes)](ZedFileAccessWatcher& self) { self.dataOut(data); });
        },
        [onLoop](std::string_view bytes) {
            onLoop(
                [data = std::string(bytes)](ZedFileAccessWatcher& self) { self.errorOut(data); });
        },
        [onLoop, start](const std::string& status) {
            onLoop(
                [start, status](ZedFileAccessWatcher& self) { self.tracerExited(start, status); });
        },
    };
    std::string failure;
    _dtraceTask = ZedTracerProcess::launch(*command, std::move(handlers), failure);
    if (!_dtraceTask) {
        startFailed(start);
        tell("Unable to start detecting file opens: " + failure + ".", kWarning);
        return;
    }
    _run = start;
}

// Posted before the failure is told, so that a caller who hears of it finds the watcher stopped.
void ZedFileAccessWatcher::startFailed(std::uint64_t start) {
    std::weak_ptr<ZedFileAccessWatcher> weakSelf = weak_from_this();
    _startQueue->async([weakSelf, start] {
        const auto self = weakSelf.lock();
        if (self && self->_startNumber.load() == start) {
            self->_isStarted = false;
        }
    });
}

void ZedFileAccessWatcher::dataOut(std::string_view bytes) {
    for (std::string& line : _lastLine.linesIn(bytes)) {
        fileOpenedDtraceLine(line);
    }
}

void ZedFileAccessWatcher::errorOut(std::string_view bytes) {
    for (const std::string& line : _errorLines.linesIn(bytes)) {
        tell("dtrace: " + line, kWarning);
    }
}

void ZedFileAccessWatcher::tracerExited(std::uint64_t run, const std::string& status) {
    endRun();
    startFailed(run);
    tell("dtrace " + status + "; file opens are not detected until the next start.", kWarning);
}

void ZedFileAccessWatcher::endRun() {
    _dtraceTask.reset();
    _lastLine.clear();
    _errorLines.clear();
}

void ZedFileAccessWatcher::fileOpenedDtraceLine(const std::string& line) {
    std::weak_ptr<ZedFileAccessWatcher> weakSelf = weak_from_this();
    _notifyQueue->async([weakSelf, line] {
        const auto self = weakSelf.lock();
        if (!self) {
            return;
        }
        if (isLossNotice(line)) {
            self->tell("dtrace could not keep up, file opens were not reported: " + line, kWarning);
            return;
        }
        const std::optional<ZedTracerLine> parsed = ZedTracerLine::parse(line);
        if (!parsed) {
            self->tell("dtrace received a strange result: " + line, kWarning);
            return;
        }
        const std::size_t longest = self->_tracer->longestWholePath();
        if (longest > 0 && parsed->path.size() >= longest) {
            self->tell("dtrace may have cut a path at " + std::to_string(longest) +
                           " bytes; not reported: " + parsed->path,
                       kWarning);
            return;
        }
        if (const auto delegate = self->delegate()) {
            delegate->fileOpened(parsed->path, self->reportedName(parsed->processName),
                                 parsed->userId, ZedUnixTimeInMS::unixTimeInMS());
        }
    });
}

void ZedFileAccessWatcher::stop() {
    zed::dispatch_sync_to_queue(_startQueue.get(), [this] {
        ++_startNumber;
        zed::dispatch_sync_to_queue(_loopQueue.get(), [this] { endRun(); });
        _isStarted = false;
    });
}

void ZedFileAccessWatcher::invalidate() {
    {
        std::lock_guard lock(_namesMutex);
        _delegate.reset();
        _processNames.clear();
    }
    stop();
}

std::string ZedFileAccessWatcher::dtraceArgument() const {
    std::vector<std::string> names;
    {
        std::lock_guard lock(_namesMutex);
        names = _processNames;
    }
    std::string predicate;
    for (std::size_t i = 0; i < names.size(); ++i) {
        predicate += "execname == \"" + names[i] + "\"";
        if (i + 1 < names.size()) {
            predicate += " || ";
        }
    }
    if (predicate.empty()) {
        return {};
    }
    const std::string separator = kZedGenericStringSeparator;
    const std::string format = "%u" + separator + "%s" + separator + "%s\\n";
    const std::string action = "printf(\"" + format + "\", uid, execname, copyinstr(arg0));";
    return "syscall::open*:entry / " + predicate + " / { " + action + " }";
}

void ZedFileAccessWatcher::tell(const std::string& message, int logLevel) {
    if (const auto target = delegate()) {
        target->log(message, logLevel);
    }
}

std::shared_ptr<ZedFileAccessWatcherDelegate> ZedFileAccessWatcher::delegate() {
    std::lock_guard lock(_namesMutex);
    return _delegate.lock();
}

std::string ZedFileAccessWatcher::reportedName(const std::string& kernelName) {
    // The kernel keeps the first 15 bytes of a name: give the caller's own name back.
    if (kernelName.size() == ZedBpftraceProgram::kKernelNameLength) {
        std::lock_guard lock(_namesMutex);
        for (const std::string& name : _processNames) {
            if (name.size() > kernelName.size() &&
                name.compare(0, kernelName.size(), kernelName) == 0) {
                return name;
            }
        }
    }
    return kernelName;
}
