// Reading numbers from text: the whole-text form of the Let-coercions and the prefix form of Val.
#pragma once

#include <QStringView>

#include <cstdint>
#include <optional>
#include <string>

namespace reelkeep {

/// A number read from text, kept exact until it is converted to its target kind.
struct NumberText
{
    bool negative = false;
    std::string digits; // ASCII digits; the value is digits * 10^exponent
    int exponent = 0;
    bool radix = false;          // an "&H" or "&O" number: the value is radixValue
    std::int64_t radixValue = 0; // already sign-extended from 16 or 32 bits
    bool radixOverflow = false;  // more than 32 bits of "&H" or "&O" digits
};

/// Reads the whole text as a number in the locale, as the Let-coercion of a String to a number
/// does: blanks around it, a leading or trailing sign, "(5)" for -5, the currency symbol,
/// thousands separators in the integer part, a decimal point, an exponent "E" or "e" with an
/// optional sign, and "&H" (hex) or "&O" / "&" (octal) numbers. Empty for any other text.
std::optional<NumberText> parseNumberText(QStringView text);

/// The nearest Double; raises Overflow (6) beyond the Double range.
double numberTextToDouble(const NumberText& number);

/// Val: the Double of the longest numeric prefix, after removing blanks, tabs and line feeds
/// anywhere; "." is always the decimal point, "E"/"e"/"D"/"d" start an exponent, "&H" and "&O"
/// prefixes read hex and octal. No number gives 0 ("-" alone, "", "abc"). Raises Overflow (6)
/// beyond the Double range, and Type mismatch (13) when the integer type character "%" or "&"
/// follows a number written with a decimal point ("50.5%"; "50%" is 50).
double val(QStringView text);

/// The decimal digits of |value| rounded to `count` significant digits (the last one rounded as
/// the shortest exact decimal of the binary value decides), and the decimal exponent of the first
/// digit: 1234.5 to 3 digits is "123" and 3. `value` must be finite and not 0.
struct SignificantDigits
{
    std::string digits;
    int exponent = 0;
};
SignificantDigits significantDigitsOf(double value, int count);

} // namespace reelkeep
