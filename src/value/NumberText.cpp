// Scanners for numeric texts.
#include "value/NumberText.h"

#include "value/Locale.h"
#include "value/RuntimeError.h"

#include <charconv>
#include <cmath>

namespace reelkeep {
namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

int hexDigitValue(QChar c)
{
    if (isDigit(c))
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

// Reads "&H..." / "&O..." / "&..." digits from `at` (just after the "&") for as long as they go.
// Four hex digits and less are a 16-bit value (so "&HFFFF" is -1), up to eight a 32-bit one.
NumberText readRadix(QStringView text, qsizetype& at)
{
    int base = 8;
    if (at < text.size() && (text[at] == u'h' || text[at] == u'H')) {
        base = 16;
        ++at;
    } else if (at < text.size() && (text[at] == u'o' || text[at] == u'O')) {
        ++at;
    }
    NumberText number;
    number.radix = true;
    std::uint64_t value = 0;
    for (; at < text.size(); ++at) {
        const int digit = hexDigitValue(text[at]);
        if (digit < 0 || digit >= base)
            break;
        value = value * base + digit;
        if (value > 0xFFFFFFFFu)
            number.radixOverflow = true;
    }
    if (value <= 0xFFFF)
        number.radixValue = std::int16_t(std::uint16_t(value));
    else
        number.radixValue = std::int32_t(std::uint32_t(value));
    return number;
}

// Reads an exponent's digits, clamped so that absurd exponents cannot overflow an int.
int readExponentDigits(QStringView text, qsizetype& at)
{
    int exponent = 0;
    for (; at < text.size() && isDigit(text[at]); ++at)
        exponent = std::min(exponent * 10 + (text[at].unicode() - u'0'), 100000);
    return exponent;
}

bool skipText(QStringView text, qsizetype& at, QStringView expected)
{
    if (expected.isEmpty() || !text.mid(at).startsWith(expected))
        return false;
    at += expected.size();
    return true;
}

void skipBlanks(QStringView text, qsizetype& at)
{
    while (at < text.size() && text[at].isSpace())
        ++at;
}

} // namespace

std::optional<NumberText> parseNumberText(QStringView text)
{
    const LocaleConventions& conventions = locale();
    text = text.trimmed();
    qsizetype at = 0;
    if (text.startsWith(u'&')) {
        ++at;
        NumberText number = readRadix(text, at);
        if (at == text.size() && at > 1 && hexDigitValue(text[at - 1]) >= 0)
            return number;
        return std::nullopt;
    }
    bool parenthesis = false;
    int leadingSign = 0;
    bool sawCurrency = false;
    for (bool progress = true; progress;) {
        progress = false;
        skipBlanks(text, at);
        if (at == 0 && at < text.size() && text[at] == u'(') {
            parenthesis = progress = true;
            ++at;
        } else if (!sawCurrency && skipText(text, at, conventions.currencySymbol)) {
            sawCurrency = progress = true;
        } else if (leadingSign == 0 && at < text.size() && (text[at] == u'+' || text[at] == u'-')) {
            leadingSign = text[at] == u'-' ? -1 : 1;
            progress = true;
            ++at;
        }
    }
    NumberText number;
    bool sawPoint = false;
    bool sawDigit = false;
    for (; at < text.size(); ++at) {
        const QChar c = text[at];
        if (isDigit(c)) {
            number.digits += char(c.unicode());
            if (sawPoint)
                --number.exponent;
            sawDigit = true;
        } else if (c == conventions.thousandsSeparator && sawDigit && !sawPoint) {
            continue;
        } else if (c == conventions.decimalSeparator && !sawPoint) {
            sawPoint = true;
        } else {
            break;
        }
    }
    if (!sawDigit)
        return std::nullopt;
    if (at < text.size() && (text[at] == u'e' || text[at] == u'E')) {
        ++at;
        int exponentSign = 1;
        if (at < text.size() && (text[at] == u'+' || text[at] == u'-'))
            exponentSign = text[at++] == u'-' ? -1 : 1;
        if (at == text.size() || !isDigit(text[at]))
            return std::nullopt;
        number.exponent += exponentSign * readExponentDigits(text, at);
    }
    int trailingSign = 0;
    for (bool progress = true; progress;) {
        progress = false;
        skipBlanks(text, at);
        if (!sawCurrency && skipText(text, at, conventions.currencySymbol)) {
            sawCurrency = progress = true;
        } else if (leadingSign == 0 && trailingSign == 0 && at < text.size() &&
                   (text[at] == u'+' || text[at] == u'-')) {
            trailingSign = text[at] == u'-' ? -1 : 1;
            progress = true;
            ++at;
        } else if (parenthesis && at < text.size() && text[at] == u')') {
            parenthesis = false;
            progress = true;
            ++at;
        }
    }
    const bool hadParenthesis = text.startsWith(u'(');
    if (at != text.size() || parenthesis || (hadParenthesis && (leadingSign != 0 || trailingSign != 0)))
        return std::nullopt;
    number.negative = hadParenthesis || leadingSign < 0 || trailingSign < 0;
    return number;
}

double numberTextToDouble(const NumberText& number)
{
    if (number.radix) {
        if (number.radixOverflow)
            raise(ErrorNumber::Overflow);
        return double(number.radixValue);
    }
    const std::size_t first = number.digits.find_first_not_of('0');
    if (first == std::string::npos)
        return number.negative ? -0.0 : 0.0;
    std::string text = number.digits.substr(first);
    const int magnitude = number.exponent + int(text.size()); // the value lies below 10^magnitude
    text += 'e';
    text += std::to_string(number.exponent);
    double result = 0;
    const auto parsed = std::from_chars(text.data(), text.data() + text.size(), result);
    if (parsed.ec == std::errc::result_out_of_range) {
        if (magnitude > 0)
            raise(ErrorNumber::Overflow);
        result = 0;
    }
    return number.negative ? -result : result;
}

double val(QStringView text)
{
    QString packed;
    packed.reserve(text.size());
    for (QChar c : text)
        if (c != u' ' && c != u'\t' && c != u'\n')
            packed += c;
    qsizetype at = 0;
    if (packed.startsWith(u'&')) {
        ++at;
        const NumberText number = readRadix(packed, at);
        return numberTextToDouble(number);
    }
    NumberText number;
    if (at < packed.size() && (packed[at] == u'+' || packed[at] == u'-'))
        number.negative = packed[at++] == u'-';
    bool sawPoint = false;
    for (; at < packed.size(); ++at) {
        const QChar c = packed[at];
        if (isDigit(c)) {
            number.digits += char(c.unicode());
            if (sawPoint)
                --number.exponent;
        } else if (c == u'.' && !sawPoint) {
            sawPoint = true;
        } else {
            break;
        }
    }
    if (number.digits.empty())
        return 0;
    if (at < packed.size() && QStringView(u"eEdD").contains(packed[at])) {
        qsizetype exponentAt = at + 1;
        int exponentSign = 1;
        if (exponentAt < packed.size() && (packed[exponentAt] == u'+' || packed[exponentAt] == u'-'))
            exponentSign = packed[exponentAt++] == u'-' ? -1 : 1;
        if (exponentAt < packed.size() && isDigit(packed[exponentAt])) {
            number.exponent += exponentSign * readExponentDigits(packed, exponentAt);
            at = exponentAt;
        }
    }
    // A type character after the number declares its type, as in a literal: "50%" is the
    // Integer 50, but a number with a decimal point cannot be an Integer ("%") or a Long ("&").
    if (sawPoint && at < packed.size() && (packed[at] == u'%' || packed[at] == u'&'))
        raise(ErrorNumber::TypeMismatch);
    return numberTextToDouble(number);
}

SignificantDigits significantDigitsOf(double value, int count)
{
    char buffer[64];
    const auto written = std::to_chars(
        buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific, count - 1);
    const std::string_view text(buffer, std::size_t(written.ptr - buffer));
    const std::size_t exponentAt = text.find('e');
    SignificantDigits result;
    for (const char c : text.substr(0, exponentAt)) {
        if (c != '.')
            result.digits += c;
    }
    const char* exponentText = text.data() + exponentAt + 1;
    std::from_chars(
        exponentText + (*exponentText == '+' ? 1 : 0), text.data() + text.size(), result.exponent);
    return result;
}

} // namespace reelkeep
