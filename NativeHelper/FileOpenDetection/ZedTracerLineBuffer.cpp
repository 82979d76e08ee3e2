#include "FileOpenDetection/ZedTracerLineBuffer.h"

std::vector<std::string> ZedTracerLineBuffer::linesIn(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = bytes.find('\n'); end != std::string_view::npos;
         end = bytes.find('\n', start)) {
        _lastLine.append(bytes.substr(start, end - start));
        if (!_lastLine.empty()) {
            lines.push_back(std::move(_lastLine));
        }
        _lastLine.clear();
        start = end + 1;
    }
    _lastLine.append(bytes.substr(start));
    if (_lastLine.size() > kLongestLine) {
        lines.push_back(std::move(_lastLine));
        _lastLine.clear();
    }
    return lines;
}
