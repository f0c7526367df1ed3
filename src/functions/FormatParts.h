// The pieces shared by the number, date and text engines of Format: format sections, the
// lexer that separates quoted and escaped literals from format characters, and exact decimal digits.
#pragma once

#include <QString>
#include <QStringView>

#include <string>
#include <vector>

namespace reelkeep::detail {

/// One piece of a format section: a single format character, or literal text that came from
/// "\x" or from a quoted run and therefore prints as itself whatever it contains.
struct FormatPiece
{
    QChar character; // the format character; unused for literal text
    QString literal;
    bool isLiteral = false;
};

/// The sections of a format, split at the ";" that are neither escaped nor quoted.
std::vector<QStringView> formatSections(QStringView format);

/// The pieces of one section, left to right. A quote without its closing quote runs to the end;
/// a "\" at the very end escapes nothing and is dropped.
std::vector<FormatPiece> formatPieces(QStringView section);

/// A non-negative number as exact decimal digits: the value is 0.digits * 10^pointPosition,
/// so "125" with pointPosition 1 is 1.25. The digits have no leading or trailing zeros; zero has
/// none at all.
struct DecimalDigits
{
    std::string digits;
    int pointPosition = 0;

    bool isZero() const { return digits.empty(); }
};

/// The digits of a magnitude written in plain decimal ("1234.5", "0.0001"), sign already removed.
DecimalDigits decimalDigitsFromText(QStringView text);

/// The digits of a double's magnitude rounded to `significantDigits`, as CStr rounds it.
DecimalDigits decimalDigitsFromDouble(double value, int significantDigits);

/// Rounds half away from zero so that at most `decimals` digits follow the decimal point
/// (`decimals` may be negative); a carry can add a digit in front.
void roundToDecimals(DecimalDigits& number, int decimals);

/// A signed number ready for a numeric format: its magnitude and whether it is below zero.
struct SignedDigits
{
    DecimalDigits magnitude;
    bool negative = false;
};

/// The text of a number under the sections of a user-defined number format: the section for
/// positive, negative, zero values; a negative value shown by a section of its own loses its sign.
QString formatWithNumberSections(const std::vector<QStringView>& sections, const SignedDigits& number);

/// The text of one number section for a magnitude, "-" in front when `minus` is set.
QString formatNumberSection(QStringView section, DecimalDigits magnitude, bool minus);

/// The text of a Date serial under one user-defined date/time section; firstDayOfWeek (1 to 7)
/// and firstWeekOfYear (1 to 3) are already resolved.
QString formatDateSection(QStringView section, double serial, int firstDayOfWeek, int firstWeekOfYear);

/// The text of a text under the sections of a user-defined text format: the second section,
/// when there is one, serves the empty text.
QString formatWithTextSections(const std::vector<QStringView>& sections, const QString& text);

/// The text of one text section.
QString formatTextSection(QStringView section, const QString& text);

} // namespace reelkeep::detail
