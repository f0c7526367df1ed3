// Format sections, format pieces and exact decimal digits.
#include "functions/FormatParts.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace reelkeep::detail {

std::vector<QStringView> formatSections(QStringView format)
{
    std::vector<QStringView> sections;
    qsizetype start = 0;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'"')
            quoted = !quoted;
        else if (c == u'\\' && !quoted)
            ++i;
        else if (c == u';' && !quoted) {
            sections.push_back(format.mid(start, i - start));
            start = i + 1;
        }
    }
    sections.push_back(format.mid(start));
    return sections;
}

std::vector<FormatPiece> formatPieces(QStringView section)
{
    std::vector<FormatPiece> pieces;
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == u'\\') {
            if (i + 1 < section.size())
                pieces.push_back({QChar(), QString(section[++i]), true});
        } else if (c == u'"') {
            const qsizetype close = section.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? section.size() : close;
            pieces.push_back({QChar(), section.mid(i + 1, end - i - 1).toString(), true});
            i = end;
        } else {
            pieces.push_back({c, QString(), false});
        }
    }
    return pieces;
}

namespace {

void trimZeros(DecimalDigits& number)
{
    std::string& digits = number.digits;
    const auto firstNonZero = digits.find_first_not_of('0');
    if (firstNonZero == std::string::npos) {
        number = DecimalDigits();
        return;
    }
    digits.erase(0, firstNonZero);
    number.pointPosition -= static_cast<int>(firstNonZero);
    digits.erase(digits.find_last_not_of('0') + 1);
}

} // namespace

DecimalDigits decimalDigitsFromText(QStringView text)
{
    DecimalDigits number;
    number.pointPosition = -1;
    for (const QChar c : text) {
        if (c == u'.')
            number.pointPosition = static_cast<int>(number.digits.size());
        else if (c.isDigit())
            number.digits.push_back(char(c.unicode()));
    }
    if (number.pointPosition < 0)
        number.pointPosition = static_cast<int>(number.digits.size());
    trimZeros(number);
    return number;
}

DecimalDigits decimalDigitsFromDouble(double value, int significantDigits)
{
    DecimalDigits number;
    if (value == 0 || !std::isfinite(value))
        return number;
    char buffer[64];
    const auto result = std::to_chars(buffer,
                                      buffer + sizeof buffer,
                                      std::fabs(value),
                                      std::chars_format::scientific,
                                      significantDigits - 1);
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const auto exponentAt = text.find('e');
    for (const char c : text.substr(0, exponentAt)) {
        if (c != '.')
            number.digits.push_back(c);
    }
    number.pointPosition = std::atoi(std::string(text.substr(exponentAt + 1)).c_str()) + 1;
    trimZeros(number);
    return number;
}

void roundToDecimals(DecimalDigits& number, int decimals)
{
    const long long keep = static_cast<long long>(number.pointPosition) + decimals;
    if (keep >= static_cast<long long>(number.digits.size()))
        return;
    if (keep < 0) {
        number = DecimalDigits();
        return;
    }
    const bool roundUp = number.digits[static_cast<std::size_t>(keep)] >= '5';
    number.digits.resize(static_cast<std::size_t>(keep));
    if (roundUp) {
        std::size_t i = number.digits.size();
        while (i > 0 && number.digits[i - 1] == '9')
            number.digits[--i] = '0';
        if (i == 0) {
            number.digits.insert(number.digits.begin(), '1');
            ++number.pointPosition;
        } else {
            ++number.digits[i - 1];
        }
    }
    trimZeros(number);
}

} // namespace reelkeep::detail
