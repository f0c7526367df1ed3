// Format: the text of a value under a named or user-defined number, date, time or text format.
#pragma once

#include "value/Value.h"

#include <optional>

namespace reelkeep {

/// Format(expression, [format], firstdayofweek, firstweekofyear) as the standard function
/// defines it, with the locale's conventions. `format` is absent when the call leaves it out;
/// firstDayOfWeek (0 to 7) and firstWeekOfYear (0 to 3) are already Longs.
Value Format(const Value& expression,
             const std::optional<Value>& format,
             int firstDayOfWeek,
             int firstWeekOfYear);

} // namespace reelkeep
