#include "platform/tracing/ZedBpftrace.h"

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/system/ZedTextFiles.h"
#include "platform/tracing/ZedBpftraceProgram.h"

namespace {

constexpr int kCapSysAdmin = 21;
constexpr int kCapPerfmon = 38;
constexpr int kCapBpf = 39;
constexpr const char* kTracefs = "/sys/kernel/tracing";

std::uint64_t effectiveCapabilities() {
    const std::optional<std::string> status = ZedTextFiles::read("/proc/self/status");
    if (!status) {
        return 0;
    }
    for (const std::string& line : ZedTextFiles::lines(*status)) {
        constexpr std::string_view kKey = "CapEff:";
        if (line.compare(0, kKey.size(), kKey) == 0) {
            return std::strtoull(line.c_str() + kKey.size(), nullptr, 16);
        }
    }
    return 0;
}

bool mayTrace() {
    const std::uint64_t caps = effectiveCapabilities();
    const auto has = [caps](int capability) { return (caps >> capability) & 1; };
    return has(kCapSysAdmin) || (has(kCapBpf) && has(kCapPerfmon));
}

bool isDirectory(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::string executableOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string directories = path ? path : "";
    directories += ":/usr/sbin:/usr/bin:/sbin:/bin";
    std::size_t start = 0;
    while (start <= directories.size()) {
        const std::size_t end = std::min(directories.find(':', start), directories.size());
        const std::string candidate = directories.substr(start, end - start) + "/" + name;
        if (end > start && ::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = end + 1;
    }
    return {};
}

// Empty when the syscall tracepoints are reachable, after mounting tracefs if need be.
std::string tracefsMissing() {
    if (isDirectory(std::string(kTracefs) + "/events/syscalls") ||
        isDirectory("/sys/kernel/debug/tracing/events/syscalls")) {
        return {};
    }
    if (::mount("tracefs", kTracefs, "tracefs", 0, nullptr) != 0) {
        return std::string(
                   "the tracing file system (tracefs) is not mounted and cannot be "
                   "mounted at ") +
               kTracefs + ": " + std::strerror(errno);
    }
    if (!isDirectory(std::string(kTracefs) + "/events/syscalls")) {
        return "the kernel offers no syscall tracepoints under /sys/kernel/tracing/events";
    }
    return {};
}

}  // namespace

std::string ZedBpftrace::missingPrerequisite() {
    if (!mayTrace()) {
        return "tracing file opens needs root (or the capabilities CAP_BPF and CAP_PERFMON), "
               "which this process lacks";
    }
    program_ = executableOnPath("bpftrace");
    if (program_.empty()) {
        return "the tracing tool bpftrace is not installed (Debian package bpftrace)";
    }
    return tracefsMissing();
}

std::optional<ZedTracer::Command> ZedBpftrace::commandFor(
    const std::vector<std::string>& processNames, const Refusal& refused) {
    std::optional<std::string> program = ZedBpftraceProgram::text(processNames, refused);
    if (!program) {
        return std::nullopt;
    }
    return Command{program_.empty() ? "bpftrace" : program_,
                   {"-q", "-e", std::move(*program)},
                   {{"BPFTRACE_STRLEN", std::to_string(ZedBpftraceProgram::kMaximumStringLength)}}};
}

std::size_t ZedBpftrace::longestWholePath() const {
    return ZedBpftraceProgram::kMaximumStringLength - 1;
}
