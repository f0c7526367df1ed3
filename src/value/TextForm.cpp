// Text forms of every kind.
#include "value/TextForm.h"

#include "value/DateText.h"
#include "value/NumberText.h"
#include "value/RuntimeError.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace reelkeep {

QString formatDouble(double value, int significantDigits)
{
    if (value == 0 || !std::isfinite(value))
        return QStringLiteral("0");
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
