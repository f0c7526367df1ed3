// The history lists of the type and genre boxes: newest first, at most eight entries.
#pragma once

#include <QStringList>

namespace reelkeep {

inline constexpr int HistoryLength = 8;

/// Puts a typed text on top of a history: an empty text changes nothing, an entry equal to it
/// ignoring case is dropped, the eighth entry makes room, and the text goes in as typed.
void rememberInHistory(QStringList& history, const QString& text);

} // namespace reelkeep
