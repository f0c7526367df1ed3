// Choice and error functions: the library's "if", IIf, CVErr, CVar and Error.
#pragma once

#include "value/Value.h"

namespace reelkeep {

/// The library's own choice: `whenTrue` when the condition is True, else `whenFalse`, or Empty
/// when there is none (null). The condition is Let-coerced to Boolean with Null counting as False.
Value ifChoice(const Value& condition, const Value& whenTrue, const Value* whenFalse);
/// IIf: `whenTrue` when the condition is True, else `whenFalse`; a Null condition counts as
/// False; any other condition is Let-coerced to Boolean (Type mismatch (13) for a text that is
/// neither a number nor "True"/"False").
Value iif(const Value& condition, const Value& whenTrue, const Value& whenFalse);
/// CVar: the argument itself, whatever its kind.
Value cvar(const Value& value);
/// Error: the String message of an error number (Let-coerced to Long): "" for 0, the standard
/// text of a standard number, "Application-defined or object-defined error" for others.
/// Invalid procedure call (5) outside 0 to 65535.
Value error(const Value& number);

} // namespace reelkeep
