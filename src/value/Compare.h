// String comparison: StrComp in binary and text mode, and the Like pattern match.
#pragma once

#include "value/Value.h"

#include <QCollatorSortKey>
#include <QStringView>

namespace reelkeep {

enum class CompareMode
{
    Binary = 0,   // code unit by code unit, case-sensitive
    Text = 1,     // case-insensitive, in the locale's collation order
    Database = 2, // treated as Text
};

/// The compare mode of a compare argument: -1 (the default, binary), 0, 1 or 2; Invalid procedure
/// call (5) for any other number.
CompareMode compareModeOf(int argument);

/// -1, 0 or 1: `left` sorts before, with or after `right`. Binary mode compares 16-bit code units,
/// a shorter prefix first; text mode ignores case and orders by the collation of the locale
/// (US English), which puts "a" before "B".
int compareStrings(QStringView left, QStringView right, CompareMode mode);

/// A key that orders texts exactly as compareStrings() in text mode does, for sorting many texts.
QCollatorSortKey textSortKey(const QString& text);

/// StrComp: Null when either argument is Null, otherwise the Integer -1, 0 or 1 of the two texts
/// (each Let-coerced to String).
Value strComp(const Value& left, const Value& right, CompareMode mode);

/// Whether the whole text matches the whole pattern, comparing code units: "?" any one character,
/// "*" any run, "#" one digit, "[abc]" / "[a-z]" one of a list, "[!...]" one not in it, "[]"
/// nothing; "[", "?", "#" and "*" are literal inside a list, "-" at its start or end.
/// Raises Invalid pattern string (93) for a reversed range or a "[" without "]".
bool like(QStringView text, QStringView pattern);

} // namespace reelkeep
