#include "model/VTDecimal.h"

#include <QLocale>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>

namespace {

constexpr int kLargestExponent = 400;

// 10^exponent for the small exponents a double's text can carry (0 <= exponent <= 400).
std::decimal::decimal128 powerOfTen(int exponent) {
    std::decimal::decimal128 result(1);
    const std::decimal::decimal128 ten(10);
    for (int i = 0; i < exponent; ++i) {
        result *= ten;
    }
    return result;
}

// 10^-exponent as coefficient 1 and that exponent, made once. Multiplying a coefficient
// without trailing zeros by it gives exactly the representation that dividing by 10^exponent
// gives, at a fraction of the cost of the division and of building 10^exponent.
std::decimal::decimal128 negativePowerOfTen(int exponent) {
    static const auto powers = [] {
        std::array<std::decimal::decimal128, kLargestExponent + 1> table{};
        table[0] = std::decimal::decimal128(1);
        const std::decimal::decimal128 ten(10);
        for (int i = 1; i <= kLargestExponent; ++i) {
            table[i] = table[i - 1] / ten;
        }
        return table;
    }();
    return powers[exponent];
}

char16_t codeUnit(QChar c) {
    return c.unicode();
}

char16_t codeUnit(char c) {
    return static_cast<unsigned char>(c);
}

// The decimal of a number's text: an optional sign, digits with at most one point, and an
// optional exponent. Text is a QStringView or a std::string_view.
template <typename Text>
std::optional<std::decimal::decimal128> parseDecimal(Text text) {
    // Mantissa digits are collected into a 64-bit coefficient, so at most 18 significant
    // digits are kept; a double's shortest text never has more than 17.
    qsizetype position = 0;
    const auto length = static_cast<qsizetype>(text.size());
    const auto at = [&text](qsizetype i) { return codeUnit(text[i]); };
    bool negative = false;
    if (position < length && (at(position) == u'-' || at(position) == u'+')) {
        negative = at(position) == u'-';
        ++position;
    }
    qint64 coefficient = 0;
    int exponent = 0;
    int digits = 0;
    bool seenPoint = false;
    for (; position < length; ++position) {
        const char16_t c = at(position);
        if (c == u'.' && !seenPoint) {
            seenPoint = true;
            continue;
        }
        if (!QChar(c).isDigit()) {
            break;
        }
        ++digits;
        if (coefficient < 100000000000000000LL) {
            coefficient = coefficient * 10 + QChar(c).digitValue();
            if (seenPoint) {
                --exponent;
            }
        } else if (!seenPoint) {
            ++exponent;
        }
    }
    if (digits == 0) {
        return std::nullopt;
    }
    if (position < length && (at(position) == u'e' || at(position) == u'E')) {
        bool ok = false;
        QString written;
        for (qsizetype i = position + 1; i < length; ++i) {
            written.append(QChar(at(i)));
        }
        const int value = written.toInt(&ok);
        if (!ok || std::abs(value) > kLargestExponent) {
            return std::nullopt;
        }
        exponent += value;
    } else if (position != length) {
        return std::nullopt;
    }
    std::decimal::decimal128 value(coefficient);
    if (exponent >= 0) {
        value *= powerOfTen(exponent);
    } else {
        // An exact quotient takes the exponent nearest 0 that holds it: no trailing zeros, and
        // 0 itself for zero. So must the coefficient that is multiplied instead.
        while (coefficient != 0 && coefficient % 10 == 0 && exponent < 0) {
            coefficient /= 10;
            ++exponent;
        }
        if (coefficient == 0) {
            exponent = 0;
        }
        value = std::decimal::decimal128(coefficient);
        if (exponent < -kLargestExponent) {
            value = value / powerOfTen(-exponent);
        } else if (exponent < 0) {
            value *= negativePowerOfTen(-exponent);
        }
    }
    return negative ? -value : value;
}

}  // namespace

VTDecimal VTDecimal::fromDouble(double value) {
    if (!std::isfinite(value)) {
        return VTDecimal();
    }
    if (value == 0) {
        return VTDecimal();  // Qt writes -0.0 as "0", so it enters as plain zero
    }
    // The shortest text that reads back as the same double, as QString::number(value, 'g',
    // QLocale::FloatingPointShortest) writes it, without making a QString of it.
    std::array<char, 32> buffer{};
    const std::to_chars_result written =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    const std::string_view text(buffer.data(), static_cast<size_t>(written.ptr - buffer.data()));
    const std::optional<std::decimal::decimal128> decimal = parseDecimal(text);
    return decimal ? VTDecimal(*decimal) : VTDecimal();
}

std::optional<VTDecimal> VTDecimal::fromString(const QString& text) {
    const std::optional<std::decimal::decimal128> decimal = parseDecimal(QStringView(text));
    if (!decimal) {
        return std::nullopt;
    }
    return VTDecimal(*decimal);
}

QString VTDecimal::toString() const {
    return QString::number(toDouble(), 'g', QLocale::FloatingPointShortest);
}
