// One function per operator of the expression language, on Variant operands.
#pragma once

#include "value/Value.h"

namespace reelkeep {

// Every operator resolves an object operand to its default value ("is" excepted), gives Null
// where Null propagates, and raises Type mismatch (13) for an Error Value operand; the
// evaluator turns a raised error into an Error Value.

/// L ^ R: always a Double. Invalid procedure call (5) for a negative base with a fractional
/// exponent or 0 to a negative power; Overflow (6) for a result beyond the Double range.
Value power(const Value& left, const Value& right);
/// L * R in the more precise kind of the two, ranked Byte, Integer, Long, Single, Currency,
/// Double, Decimal (so Currency times a Double is a Double); a Date gives a Double.
Value multiply(const Value& left, const Value& right);
/// L / R: a Double; a Single when both are Byte, Integer or Single; a Decimal when either is.
/// Division by zero (11), and Overflow (6) for 0 / 0.
Value divide(const Value& left, const Value& right);
/// L \ R: both rounded half to even to an integral kind; truncates toward zero.
Value integerDivide(const Value& left, const Value& right);
/// L Mod R: both rounded half to even; the sign of the result follows the dividend.
Value modulo(const Value& left, const Value& right);
/// L + R: numeric addition; String + String concatenates; Empty + x is x unchanged, but Empty +
/// Empty and Empty + a Boolean are Integers; a Date plus a number is a Date.
Value add(const Value& left, const Value& right);
/// L - R: a Date minus a number is a Date, a Date minus a Date a Double.
Value subtract(const Value& left, const Value& right);
/// L & R: the text forms joined; one Null counts as "", Null & Null is Null.
Value concatenate(const Value& left, const Value& right);

/// Comparisons: Boolean, or Null when either operand is Null. Two Strings compare by code units;
/// a number (Boolean and Date included) is less than any String; Empty is 0 against a number and
/// "" against a String.
Value equal(const Value& left, const Value& right);
Value notEqual(const Value& left, const Value& right);
Value less(const Value& left, const Value& right);
Value greater(const Value& left, const Value& right);
Value lessOrEqual(const Value& left, const Value& right);
Value greaterOrEqual(const Value& left, const Value& right);

/// L Like R, R the pattern: Boolean, Null when either is Null; binary comparison.
Value likeOperator(const Value& text, const Value& pattern);
/// L Is R: True when both refer to the same object (Nothing Is Nothing too); Object required
/// (424) when either is not an object reference.
Value isOperator(const Value& left, const Value& right);

/// Not L: bitwise on numbers, logical on Booleans; Not Null is Null.
Value notOperator(const Value& operand);
/// Bitwise on numbers and logical on Booleans, with Null as the unknown of three-valued logic:
/// False And Null is False, True Or Null is True, Null Xor anything is Null.
Value andOperator(const Value& left, const Value& right);
Value orOperator(const Value& left, const Value& right);
Value xorOperator(const Value& left, const Value& right);
Value eqvOperator(const Value& left, const Value& right);
Value impOperator(const Value& left, const Value& right);

} // namespace reelkeep
