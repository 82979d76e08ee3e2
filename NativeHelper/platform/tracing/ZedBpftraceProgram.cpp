#include "platform/tracing/ZedBpftraceProgram.h"

#include <set>

#include "include/vtnative.h"

namespace ZedBpftraceProgram {

namespace {

std::string predicate(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        if (!text.empty()) {
            text += " || ";
        }
        text += "curtask->group_leader->comm == \"" + name + "\"";
    }
    return text;
}

}  // namespace

std::string kernelName(const std::string& processName) {
    return processName.substr(0, kKernelNameLength);
}

std::string unsafeBecause(const std::string& processName) {
    if (processName.empty()) {
        return "the name is empty";
    }
    for (const char c : processName) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            return "the name contains a quote or a backslash";
        }
        if (byte < 0x20 || byte == 0x7f) {
            return "the name contains a control character";
        }
    }
    return {};
}

std::optional<std::string> text(const std::vector<std::string>& processNames,
                                const ZedTracer::Refusal& refused) {
    std::vector<std::string> names;
    std::set<std::string> seen;
    for (const std::string& name : processNames) {
        const std::string reason = unsafeBecause(name);
        if (!reason.empty()) {
            refused("process name (" + name + ") is not traced: " + reason);
            continue;
        }
        if (seen.insert(kernelName(name)).second) {
            names.push_back(kernelName(name));
        }
    }
    if (names.empty()) {
        return std::nullopt;
    }
    const std::string filter = predicate(names);
    const std::string separator = kZedGenericStringSeparator;
    // The entry keeps the path pointer per thread; the exit prints it once the call succeeded.
    // END empties the map, which bpftrace would otherwise print when it is terminated.
    return "tracepoint:syscalls:sys_enter_open,\n"
           "tracepoint:syscalls:sys_enter_openat,\n"
           "tracepoint:syscalls:sys_enter_openat2\n"
           "/ " +
           filter +
           " /\n"
           "{ @path[tid] = args->filename; }\n"
           "tracepoint:syscalls:sys_enter_creat\n"
           "/ " +
           filter +
           " /\n"
           "{ @path[tid] = args->pathname; }\n"
           "tracepoint:syscalls:sys_exit_open,\n"
           "tracepoint:syscalls:sys_exit_openat,\n"
           "tracepoint:syscalls:sys_exit_openat2,\n"
           "tracepoint:syscalls:sys_exit_creat\n"
           "/ @path[tid] /\n"
           "{\n"
           "  if (args->ret >= 0) {\n"
           "    printf(\"%u" +
           separator + "%s" + separator +
           "%s\\n\", uid, curtask->group_leader->comm, str(@path[tid]));\n"
           "  }\n"
           "  delete(@path[tid]);\n"
           "}\n"
           "END { clear(@path); }\n";
}

}  // namespace ZedBpftraceProgram
