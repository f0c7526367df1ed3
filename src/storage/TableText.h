// The text of a file to import: the encoding it was found to be in, its bytes in UTF-8 or
// Windows-1252, and each place where reading it changed the text.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace reelkeep {

struct TableText
{
    /// The text as UTF-8, or as Windows-1252 when utf8 is false. A file in UTF-16 or UTF-32 is
    /// turned into UTF-8; any other is kept as read.
    QByteArray bytes;
    bool utf8 = true;
    /// Where the text begins in bytes: after a byte-order mark that bytes keep.
    qsizetype start = 0;
    /// The encoding in words: "UTF-8", "Windows-1252", "UTF-16LE", or the one a byte-order mark
    /// names, as "UTF-16LE with a byte-order mark".
    QString encoding;
    /// Where reading changed the text, by line and byte of the file: each byte or unit read as
    /// U+FFFD, the first few of them and then how many more, bytes at the end that make no whole
    /// character, left out, and the first line in UTF-8 of a text read as Windows-1252.
    QStringList changes;
};

/// The text of a file's bytes. The encoding is the one a byte-order mark names; else UTF-16 when
/// at least a quarter of the first 4 KB are NUL bytes, which no UTF-8 or Windows-1252 text has
/// (little-endian when more of them are odd bytes); else UTF-8 when the bytes are well-formed
/// UTF-8, else Windows-1252.
TableText readTableText(QByteArray bytes);

} // namespace reelkeep
