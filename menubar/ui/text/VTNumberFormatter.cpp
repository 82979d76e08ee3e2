#include "ui/text/VTNumberFormatter.h"

#include <cmath>

VTNumberFormatter::VTNumberFormatter(Style style, const QLocale& locale)
    : style_(style), locale_(locale) {
    locale_.setNumberOptions(QLocale::DefaultNumberOptions);
}

int VTNumberFormatter::fractionDigits() const {
    return style_ == OneDecimalPlace ? 1 : 0;
}

QString VTNumberFormatter::percentSuffix() const {
    // QLocale knows the sign but not where it goes. German sets it apart with a no-break space
    // ("42 %"), except in Switzerland and Liechtenstein; the client ships no other language
    // whose pattern differs from English.
    const bool spaced = locale_.language() == QLocale::German &&
                        locale_.territory() != QLocale::Switzerland &&
                        locale_.territory() != QLocale::Liechtenstein;
    return spaced ? QChar(0x00A0) + locale_.percent() : locale_.percent();
}

QString VTNumberFormatter::stringFromNumber(double value) const {
    if (!std::isfinite(value)) {
        return locale_.toString(value);
    }
    const double shown = style_ == Percent ? value * 100.0 : value;
    // Round half to even on the value's own decimal digits before the locale renders it.
    const double scale = std::pow(10.0, fractionDigits());
    const double rounded = std::nearbyint(shown * scale) / scale;
    QString text = locale_.toString(rounded == 0.0 ? 0.0 : rounded, 'f', fractionDigits());
    if (style_ == Percent) {
        text += percentSuffix();
    }
    return text;
}

QString VTNumberFormatter::stringFromQuotient(qint64 numerator, qint64 denominator) const {
    if (denominator <= 0) {
        denominator = 1;
    }
    const int digits = fractionDigits() + (style_ == Percent ? 2 : 0);
    __int128 scaled = numerator;
    for (int i = 0; i < digits; ++i) {
        scaled *= 10;
    }
    __int128 quotient = scaled / denominator;
    const __int128 remainder = scaled % denominator;
    const __int128 twiceRemainder = (remainder < 0 ? -remainder : remainder) * 2;
    if (twiceRemainder > denominator || (twiceRemainder == denominator && quotient % 2 != 0)) {
        quotient += scaled < 0 ? -1 : 1;
    }
    const bool negative = quotient < 0;
    const unsigned __int128 magnitude =
        negative ? static_cast<unsigned __int128>(-quotient) : quotient;
    const quint64 fractionScale = fractionDigits() == 1 ? 10 : 1;
    QString text = render(negative, static_cast<quint64>(magnitude / fractionScale),
                          static_cast<quint64>(magnitude % fractionScale));
    if (style_ == Percent) {
        text += percentSuffix();
    }
    return text;
}

QString VTNumberFormatter::render(bool negative, quint64 integerPart, quint64 fraction) const {
    QString text = negative ? locale_.negativeSign() : QString();
    text += locale_.toString(integerPart);
    if (fractionDigits() > 0) {
        text += locale_.decimalPoint() + locale_.toString(fraction);
    }
    return text;
}
