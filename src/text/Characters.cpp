// Counting and cutting texts by characters.
#include "text/Characters.h"

namespace reelkeep {

namespace {

// The length in code units of the character that begins at `at`.
qsizetype unitsAt(QStringView text, qsizetype at)
{
    return text[at].isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate() ? 2 : 1;
}

} // namespace

qsizetype characterCount(QStringView text)
{
    qsizetype count = 0;
    for (qsizetype at = 0; at < text.size(); at += unitsAt(text, at))
        ++count;
    return count;
}

QStringView firstCharacters(QStringView text, qsizetype count)
{
    qsizetype at = 0;
    for (; count > 0 && at < text.size(); --count)
        at += unitsAt(text, at);
    return text.first(at);
}

} // namespace reelkeep
