// Text forms of every kind.
#include "value/TextForm.h"

#include "value/DateText.h"
#include "value/NumberText.h"
#include "value/RuntimeError.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace reelkeep {

namespace {

constexpr std::array<double, 16> PowersOfTen = {
    1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// Whether a number is whole and has no more digits than are shown: then its text is its integer's,
// with no rounding to significant digits (the common case of counts, ratings and years).
bool isShownWhole(double value, int significantDigits)
{
    return significantDigits < int(PowersOfTen.size()) && std::fabs(value) < PowersOfTen[significantDigits] &&
           value == std::trunc(value);
}

} // namespace

QString formatDouble(double value, int significantDigits)
{
    if (value == 0 || !std::isfinite(value))
        return QStringLiteral("0");
    if (isShownWhole(value, significantDigits))
        return QString::number(qint64(value));
    auto [digits, exponent] = significantDigitsOf(value, significantDigits);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string result = value < 0 ? "-" : "";
    if (exponent > -5 && exponent < significantDigits) {
        if (exponent >= 0) {
            if (int(digits.size()) <= exponent + 1) {
                result += digits + std::string(std::size_t(exponent + 1) - digits.size(), '0');
            } else {
                result += digits.substr(0, std::size_t(exponent + 1)) + '.' +
                          digits.substr(std::size_t(exponent + 1));
            }
        } else {
            result += "0." + std::string(std::size_t(-exponent - 1), '0') + digits;
        }
    } else {
        result += digits.substr(0, 1);
        if (digits.size() > 1)
            result += '.' + digits.substr(1);
        const int magnitude = std::abs(exponent);
        result += exponent < 0 ? "E-" : "E+";
        if (magnitude < 10)
            result += '0';
        result += std::to_string(magnitude);
    }
    return QString::fromLatin1(result.data(), qsizetype(result.size()));
}

QString toStringLet(const Value& value)
{
    switch (value.kind()) {
    case Kind::Empty:
        return QString();
    case Kind::Null:
        raise(ErrorNumber::InvalidUseOfNull);
    case Kind::Integer:
    case Kind::Long:
    case Kind::Byte:
        return QString::number(value.kind() == Kind::Byte ? value.asByte() : value.asLong());
    case Kind::Single:
        return formatDouble(double(value.asSingle()), 7);
    case Kind::Double:
        return formatDouble(value.asDouble(), 15);
    case Kind::Currency:
        return currencyText(value.asCurrency());
    case Kind::Date:
        return dateText(value.asDate());
    case Kind::String:
        return value.asString();
    case Kind::Object:
        return toStringLet(resolveObject(value));
    case Kind::Error:
        raise(ErrorNumber::TypeMismatch);
    case Kind::Boolean:
        return value.asBoolean() ? QStringLiteral("True") : QStringLiteral("False");
    case Kind::Decimal:
        return decimalText(value.asDecimal());
    }
    return QString();
}

QString cstrText(const Value& value)
{
    const Value resolved = resolveObject(value);
    if (resolved.kind() == Kind::Error)
        return QStringLiteral("Error ") + QString::number(resolved.errorNumber());
    return toStringLet(resolved);
}

QString describeForCli(const Value& value)
{
    const bool noText = value.kind() == Kind::Null || (value.kind() == Kind::Object && !value.asObject());
    const QString text = noText ? QString() : cstrText(value);
    return typeName(value) + QStringLiteral(": ") + text;
}

} // namespace reelkeep
