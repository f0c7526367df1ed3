// Counting and cutting texts by characters rather than by UTF-16 code units, so that a bound or a
// shortened text never splits a character that takes a surrogate pair.
#pragma once

#include <QStringView>

namespace reelkeep {

/// How many characters (Unicode code points) a text holds: a surrogate pair counts once, and so does
/// half of one.
qsizetype characterCount(QStringView text);

/// The first `count` characters of a text: the whole text when it has no more, and never half of
/// a surrogate pair.
QStringView firstCharacters(QStringView text, qsizetype count);

} // namespace reelkeep
