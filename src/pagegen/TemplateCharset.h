// Which character set a template declares: Windows-1252 unless it declares UTF-8.
#pragma once

#include <QByteArrayView>

namespace reelkeep {

/// True when a main template declares UTF-8: it starts with the UTF-8 byte-order mark, or a meta
/// element within its first 1,024 bytes names utf-8 as its charset (as an HTML reader's prescan
/// finds it: <meta charset="utf-8"> or http-equiv Content-Type with content "...; charset=utf-8").
bool declaresUtf8(QByteArrayView templateBytes);

} // namespace reelkeep
