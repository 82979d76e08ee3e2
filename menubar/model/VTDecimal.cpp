#include "model/VTDecimal.h"

#include <QLocale>
#include <cmath>
#include <optional>

namespace {

// 10^exponent for the small exponents a double's text can carry (0 <= exponent <= 400).
std::decimal::decimal128 powerOfTen(int exponent) {
    std::decimal::decimal128 result(1);
    const std::decimal::decimal128 ten(10);
    for (int i = 0; i < exponent; ++i) {
        result *= ten;
    }
    return result;
}

}  // namespace

VTDecimal VTDecimal::fromDouble(double value) {
    if (!std::isfinite(value)) {
        return VTDecimal();
    }
    return fromString(QString::number(value, 'g', QLocale::FloatingPointShortest))
        .value_or(VTDecimal());
}

std::optional<VTDecimal> VTDecimal::fromString(const QString& text) {
    // Mantissa digits are collected into a 64-bit coefficient, so at most 18 significant
    // digits are kept; a double's shortest text never has more than 17.
    qsizetype position = 0;
    const qsizetype length = text.size();
    bool negative = false;
    if (position < length && (text[position] == u'-' || text[position] == u'+')) {
        negative = text[position] == u'-';
        ++position;
    }
    qint64 coefficient = 0;
    int exponent = 0;
    int digits = 0;
    bool seenPoint = false;
    for (; position < length; ++position) {
        const QChar c = text[position];
        if (c == u'.' && !seenPoint) {
            seenPoint = true;
            continue;
        }
        if (!c.isDigit()) {
            break;
        }
        ++digits;
        if (coefficient < 100000000000000000LL) {
            coefficient = coefficient * 10 + c.digitValue();
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
    if (position < length && (text[position] == u'e' || text[position] == u'E')) {
        bool ok = false;
        const int written = text.mid(position + 1).toInt(&ok);
        if (!ok || std::abs(written) > 400) {
            return std::nullopt;
        }
        exponent += written;
    } else if (position != length) {
        return std::nullopt;
    }
    std::decimal::decimal128 value(coefficient);
    value = exponent >= 0 ? value * powerOfTen(exponent) : value / powerOfTen(-exponent);
    return VTDecimal(negative ? -value : value);
}

QString VTDecimal::toString() const {
    return QString::number(toDouble(), 'g', QLocale::FloatingPointShortest);
}
