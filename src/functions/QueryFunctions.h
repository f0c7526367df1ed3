// Functions that ask about a value: IsArray, IsDate, IsEmpty, IsError, IsMissing, IsNull, IsNumeric,
// IsObject, TypeName and VarType.
#pragma once

#include "value/Value.h"

namespace reelkeep {

/// IsArray: always False, since no Value holds an array.
Value isArray(const Value& value);
/// IsDate: True for a Date and for a text that reads as a date or time (within 1 Jan 100 ...
/// 31 Dec 9999); False for numbers and everything else.
Value isDate(const Value& value);
/// IsEmpty, IsError, IsNull: whether the Value itself is of that kind.
Value isEmpty(const Value& value);
Value isError(const Value& value);
Value isNull(const Value& value);
/// IsMissing: always False, since every argument reaches a function as a Value; none is left out.
Value isMissing(const Value& value);
/// IsNumeric: True for the numeric kinds, Boolean and Empty, and for a text that is a number as
/// a whole (blanks, sign, thousands separators, "$", exponent, "&H"); False for Dates, Null,
/// Error Values and other texts.
Value isNumeric(const Value& value);
/// IsObject: True for an object reference, Nothing included.
Value isObject(const Value& value);
/// TypeName: the String name of the kind ("Integer", "Empty"), an object's class name.
Value typeNameOf(const Value& value);
/// VarType: the Long kind number; an object reports its default value's, Nothing 9.
Value varType(const Value& value);

} // namespace reelkeep
