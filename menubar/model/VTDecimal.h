#pragma once

#include <QMetaType>
#include <QString>
#include <cstring>
#include <decimal/decimal>
#include <optional>

// An exact decimal number for completion ratios. A JSON double enters through its shortest
// round-trip text, so 0.999 stays 0.999 and 1 is exactly 1; "complete" is then an exact
// comparison against 100.
class VTDecimal {
  public:
    VTDecimal() = default;
    explicit VTDecimal(qint64 integer) : value_(integer) {}

    // The decimal of the double's shortest round-trip text; NaN and infinities give 0.
    static VTDecimal fromDouble(double value);
    // Decimal text such as "0.75", "-3" or "1e-7"; empty when the text is not a number.
    static std::optional<VTDecimal> fromString(const QString& text);

    double toDouble() const { return std::decimal::decimal128_to_double(value_); }
    // The shortest text of the double value, for log lines and display.
    QString toString() const;

    VTDecimal operator+(const VTDecimal& other) const { return VTDecimal(value_ + other.value_); }
    VTDecimal operator*(const VTDecimal& other) const { return VTDecimal(value_ * other.value_); }
    VTDecimal operator/(const VTDecimal& other) const { return VTDecimal(value_ / other.value_); }
    bool operator==(const VTDecimal& other) const { return value_ == other.value_; }
    // The same encoding bit for bit, so that every computation gives the same result on both.
    bool isIdenticalTo(const VTDecimal& other) const {
        return std::memcmp(&value_, &other.value_, sizeof value_) == 0;
    }

  private:
    explicit VTDecimal(std::decimal::decimal128 value) : value_(value) {}

    std::decimal::decimal128 value_{0};
};

Q_DECLARE_METATYPE(VTDecimal)
