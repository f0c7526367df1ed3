// LCase and UCase.
#pragma once

#include "value/Value.h"

namespace reelkeep {

/// LCase: Null stays Null; any other Value becomes the String of its text form in lower case
/// (Unicode case mapping, the same whatever the system locale). Raises 13 for an Error Value.
Value lcase(const Value& value);
/// UCase: as lcase(), in upper case.
Value ucase(const Value& value);

} // namespace reelkeep
