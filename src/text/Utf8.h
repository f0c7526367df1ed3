// UTF-8 in list files and templates: the byte-order mark that opens a UTF-8 file, and decoding
// that keeps every character.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace reelkeep {

/// U+FEFF in UTF-8, the mark with which a comma-separated file or a template in UTF-8 may begin.
inline constexpr QByteArrayView Utf8ByteOrderMark = "\xEF\xBB\xBF";

/// Turns UTF-8 bytes into text character for character. A U+FEFF at the start is a character of
/// the text like any other, never taken for a mark and dropped; a malformed byte becomes U+FFFD,
/// and `malformed`, when given, says whether there was one.
QString decodeUtf8(QByteArrayView bytes, bool* malformed = nullptr);

/// Appends the UTF-8 bytes of a text, encoded straight into the array; half a surrogate pair is
/// written as U+FFFD and never joined to the text that follows.
void appendUtf8(QByteArray& out, QStringView text);

/// The length of the well-formed UTF-8 sequence that starts at bytes[at], or 0 when it is not one (a
/// stray continuation byte, an overlong form, a surrogate, a character beyond U+10FFFF, a sequence
/// cut short).
qsizetype utf8SequenceLength(QByteArrayView bytes, qsizetype at);

/// The position of the first byte that does not belong to a well-formed UTF-8 sequence (a stray
/// continuation byte, an overlong form, a surrogate, a sequence cut short), or -1 when there is none.
qsizetype firstInvalidUtf8(QByteArrayView bytes);

/// "bytes that are not UTF-8 (read as U+FFFD), the first at byte 12" (counting from 1), with ", line 3"
/// when a line is given: the warning for a file read as UTF-8 that has them.
QString invalidUtf8Warning(qsizetype position, int line = 0);

/// The position of the first well-formed UTF-8 sequence of two bytes or more, or -1 when there is none.
qsizetype firstUtf8Sequence(QByteArrayView bytes);

/// Where a list file's bytes show what loading it warns of: positions in the file, -1 for none.
struct TextFindings
{
    /// The first byte that is not UTF-8, in a file read as UTF-8 (each such byte read as U+FFFD).
    qsizetype invalidUtf8At = -1;
    /// The first UTF-8 sequence, in a file read as Windows-1252 because other bytes are not UTF-8.
    qsizetype utf8At = -1;
};

/// The warning for what findings show, or the empty text: invalidUtf8Warning(), or "UTF-8 text among
/// Windows-1252 text, all read as Windows-1252, the first at byte 12" with a line as it has one.
QString textFindingsWarning(const TextFindings& findings, int line = 0);

/// The position that the warning of findings names, or -1.
qsizetype textFindingsPosition(const TextFindings& findings);

} // namespace reelkeep
