#include "launch/NumericCompare.h"

#include <cctype>
#include <cstddef>

namespace {

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Takes the run of digits at `pos` and returns it without leading zeros, so that two runs
// compare by value through their length first and then digit by digit, however long they are.
std::string_view takeDigits(std::string_view text, std::size_t& pos) {
    std::size_t start = pos;
    while (pos < text.size() && isDigit(text[pos])) {
        ++pos;
    }
    std::string_view run = text.substr(start, pos - start);
    std::size_t firstSignificant = run.find_first_not_of('0');
    return firstSignificant == std::string_view::npos ? std::string_view()
                                                      : run.substr(firstSignificant);
}

int compareRuns(std::string_view left, std::string_view right) {
    if (left.size() != right.size()) {
        return left.size() < right.size() ? -1 : 1;
    }
    int order = left.compare(right);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

}  // namespace

int compareNumeric(std::string_view left, std::string_view right) {
    std::size_t l = 0;
    std::size_t r = 0;
    while (l < left.size() && r < right.size()) {
        if (isDigit(left[l]) && isDigit(right[r])) {
            int order = compareRuns(takeDigits(left, l), takeDigits(right, r));
            if (order != 0) {
                return order;
            }
            continue;
        }
        unsigned char a = static_cast<unsigned char>(left[l]);
        unsigned char b = static_cast<unsigned char>(right[r]);
        if (a != b) {
            return a < b ? -1 : 1;
        }
        ++l;
        ++r;
    }
    bool leftDone = l == left.size();
    bool rightDone = r == right.size();
    if (leftDone && rightDone) {
        return 0;
    }
    return leftDone ? -1 : 1;
}
