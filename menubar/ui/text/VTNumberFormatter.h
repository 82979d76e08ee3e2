#pragma once

#include <QLocale>
#include <QString>

// A number formatter of the status texts: one of four roles, rendered in a locale with digit
// grouping. Values are rounded half to even, as the platform's number formatters do.
class VTNumberFormatter {
  public:
    enum Style {
        Decimal,          // whole numbers: "1,234"
        OneDecimalPlace,  // exactly one fractional digit: "1.5", "999.0"
        Percent,          // a fraction shown as a whole percentage: 0.42 -> "42%", "42 %"
        RemoveMantissa,   // no fractional digits: "40"
    };

    explicit VTNumberFormatter(Style style, const QLocale& locale = QLocale());

    Style style() const { return style_; }
    const QLocale& locale() const { return locale_; }

    QString stringFromNumber(double value) const;
    // numerator / denominator computed exactly in decimal (no binary rounding on the way), then
    // rendered in this formatter's style. A denominator of 0 or less renders as the plain
    // numerator.
    QString stringFromQuotient(qint64 numerator, qint64 denominator) const;

  private:
    int fractionDigits() const;
    // The percent sign as the locale sets it after a number.
    QString percentSuffix() const;
    QString render(bool negative, quint64 integerPart, quint64 fraction) const;

    Style style_;
    QLocale locale_;
};
