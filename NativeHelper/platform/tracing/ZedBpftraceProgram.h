#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/tracing/ZedTracer.h"

// The bpftrace program that reports the files the named processes open. It traces the open
// system calls on their tracepoints (kprobes are not always permitted), keeps the path pointer
// from the entry and prints only when the call succeeded, and filters in the kernel on the name
// of the process's main thread, so that a worker thread that renamed itself still counts.
namespace ZedBpftraceProgram {

// The kernel keeps 15 bytes of a process name; longer names match on those.
constexpr std::size_t kKernelNameLength = 15;
// The longest string bpftrace 0.17 reads (BPFTRACE_STRLEN), terminating NUL included.
constexpr std::size_t kMaximumStringLength = 200;

// The name as the kernel holds it.
std::string kernelName(const std::string& processName);

// Empty when the name may go into the program's text; else why not (a quote, a backslash or a
// control character would change the program, an empty name would match nothing).
std::string unsafeBecause(const std::string& processName);

// The program for the names that are safe; each refused one is passed to `refused`. Nothing
// when no name is left.
std::optional<std::string> text(const std::vector<std::string>& processNames,
                                const ZedTracer::Refusal& refused);

}  // namespace ZedBpftraceProgram
