// The file-open detector's reading of its tracer. The input is a chunk size, path rules and
// tracer output: one byte (0: the whole output at once), then lines "+DIR" (included) and
// "-DIR" (excluded) up to a NUL, then what the tracer printed (real bpftrace lines captured on
// this machine seed it). The output, cut into chunks, must give the same lines as in one piece;
// each parsed line must be its three fields put back together; and the path rules must pick, for
// every reported path, what the longest listed directory holding it says.
#include <string>
#include <vector>

#include "FileOpenDetection/ZedOpenPathRules.h"
#include "FileOpenDetection/ZedTracerLine.h"
#include "FileOpenDetection/ZedTracerLineBuffer.h"
#include "include/vtnative.h"
#include "support/FuzzCheck.h"
#include "support/FuzzInput.h"

namespace {

struct Rules {
    std::vector<std::string> included, excluded;
};

Rules rulesFrom(std::string_view text) {
    Rules rules;
    FuzzInput lines(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    while (!lines.empty()) {
        const std::string_view line = lines.takeUntil('\n');
        if (line.size() > 1 && line[0] == '+') {
            rules.included.emplace_back(line.substr(1));
        } else if (line.size() > 1 && line[0] == '-') {
            rules.excluded.emplace_back(line.substr(1));
        }
    }
    return rules;
}

// The answer by the rule's definition: the longest listed directory that holds the path.
bool expectedWatched(const Rules& rules, const std::string& path) {
    std::size_t longest = 0;
    bool watched = false;
    const auto consider = [&](const std::vector<std::string>& list, bool included) {
        for (const std::string& entry : list) {
            const std::string directory = ZedOpenPathRules::normalised(entry);
            if (path.compare(0, directory.size(), directory) == 0 && directory.size() > longest) {
                longest = directory.size();
                watched = included;
            }
        }
    };
    consider(rules.included, true);
    consider(rules.excluded, false);
    return watched;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const std::size_t chunk = input.takeByte();
    const Rules rules = rulesFrom(input.takeUntil('\0'));
    const std::string_view output = input.takeBytes(input.remaining());

    ZedTracerLineBuffer whole;
    const std::vector<std::string> expected = whole.linesIn(output);
    ZedTracerLineBuffer pieces;
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < output.size(); start += chunk ? chunk : output.size()) {
        for (std::string& line :
             pieces.linesIn(output.substr(start, chunk ? chunk : output.size()))) {
            lines.push_back(std::move(line));
        }
    }
    if (output.size() <= ZedTracerLineBuffer::kLongestLine) {
        VT_FUZZ_CHECK(lines == expected);
        VT_FUZZ_CHECK(pieces.lastLine() == whole.lastLine());
    }

    std::string offending;
    const auto made = ZedOpenPathRules::make(rules.included, rules.excluded, offending);
    const std::string separator = kZedGenericStringSeparator;
    for (const std::string& line : lines) {
        VT_FUZZ_CHECK(!line.empty() && line.find('\n') == std::string::npos);
        const auto parsed = ZedTracerLine::parse(line);
        if (!parsed) {
            continue;
        }
        VT_FUZZ_CHECK(parsed->processName.find(separator) == std::string::npos);
        VT_FUZZ_CHECK(parsed->path.find(separator) == std::string::npos);
        const std::string tail = separator + parsed->processName + separator + parsed->path;
        VT_FUZZ_CHECK(line.size() > tail.size() &&
                      line.compare(line.size() - tail.size(), tail.size(), tail) == 0);
        const std::string uid = line.substr(0, line.size() - tail.size());
        VT_FUZZ_CHECK(uid.find_first_not_of("0123456789") == std::string::npos);
        VT_FUZZ_CHECK(std::stoull(uid) == parsed->userId);
        if (made) {
            VT_FUZZ_CHECK(made->isFileWatched(parsed->path) ==
                          expectedWatched(rules, parsed->path));
        }
    }
    if (!made) {
        // Refused only for an excluded directory that is also included or listed twice.
        bool listedTwice = false;
        for (const std::string& excluded : rules.excluded) {
            int count = 0;
            for (const auto* list : {&rules.included, &rules.excluded}) {
                for (const std::string& entry : *list) {
                    count += ZedOpenPathRules::normalised(entry) ==
                             ZedOpenPathRules::normalised(excluded);
                }
            }
            listedTwice = listedTwice || count > 1;
        }
        VT_FUZZ_CHECK(listedTwice);
        VT_FUZZ_CHECK(!offending.empty() && offending.back() == '/');
    }
    return 0;
}
