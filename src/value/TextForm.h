// The text form of Values: CStr, the page's text, and the line the command-line program prints.
#pragma once

#include "value/Value.h"

#include <QString>

namespace reelkeep {

/// A float as CStr writes it: rounded to `significantDigits` (15 for Double, 7 for Single),
/// trailing zeros dropped, fixed notation when the decimal exponent e satisfies
/// -5 < e < significantDigits ("0.0001", "123456789012345"), otherwise "1E+15", "1.5E-05",
/// "-2.5E-10": the exponent always signed, with at least two digits. Never thousands separators.
QString formatDouble(double value, int significantDigits);

/// The text form of a Let-coercion to String: Empty "", Boolean "True"/"False", numbers and
/// Dates as CStr writes them, an object its default value's text. Raises Invalid use of Null (94)
/// for Null and Type mismatch (13) for an Error Value.
QString toStringLet(const Value& value);

/// CStr's text, which the page writes: as toStringLet(), except that an Error Value gives
/// "Error 13" (the word, a space, the number). Raises 94 for Null.
QString cstrText(const Value& value);

/// The line `<TypeName>: <text>` for a Value: "Double: 2.5", "Empty: ", "Null: ",
/// "Error: Error 13", "String: abc"; an object shows its class name and its default value's
/// text, Nothing "Nothing: ".
QString describeForCli(const Value& value);

} // namespace reelkeep
