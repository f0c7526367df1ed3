// Let-coercions of a Value to each kind, and the explicit conversions CBool ... CVErr.
#pragma once

#include "value/Value.h"

#include <cstdint>

namespace reelkeep {

// Every Let-coercion raises Invalid use of Null (94) for Null and Type mismatch (13) for an Error
// Value; Empty is 0, "" or False; an object stands for its default value. Conversions into an
// integral kind round half to even ("banker's rounding") and raise Overflow (6) when the rounded
// value is out of range. A String must be a number as a whole (see parseNumberText), else 13.

/// Let-coercion to Double.
double toDouble(const Value& value);
/// Let-coercion to Single; Overflow (6) beyond the Single range.
float toSingle(const Value& value);
/// Let-coercion to Long.
std::int32_t toLong(const Value& value);
/// Let-coercion to Integer.
std::int16_t toInteger(const Value& value);
/// Let-coercion to Byte; True (-1) overflows.
std::uint8_t toByte(const Value& value);
/// Let-coercion to Boolean: a number is True unless 0; a String "True"/"False" in any letter
/// case, or a number as text.
bool toBoolean(const Value& value);
/// Let-coercion to Currency, rounded half to even to four decimals.
Currency toCurrency(const Value& value);
/// Let-coercion to Decimal; Double and Single first rounded to 15 and 7 significant digits.
Decimal toDecimal(const Value& value);
/// Let-coercion to Date: a number is a serial (Overflow (6) outside 1 Jan 100 ... 31 Dec 9999), a
/// String must be a date or time text (parseDateText), else 13.
double toDate(const Value& value);

/// Explicit conversions. They differ from the Let-coercions in one point: the numeric ones
/// (CByte, CCur, CDbl, CDec, CInt, CLng, CSng) convert an Error Value's number, and CStr gives
/// "Error 13". Null raises 94 in every one of them.
Value cbool(const Value& value);
Value cbyte(const Value& value);
Value ccur(const Value& value);
Value cdate(const Value& value);
Value cdbl(const Value& value);
Value cdec(const Value& value);
Value cint(const Value& value);
Value clng(const Value& value);
Value csng(const Value& value);
Value cstr(const Value& value);
/// CVErr: the number as CLng gives it; Invalid procedure call (5) unless it lies in 0 ... 65535.
Value cvErr(const Value& value);

} // namespace reelkeep
