// The page's characters as bytes: UTF-8 or Windows-1252, with HTML character references for
// what the page's character set cannot hold.
#pragma once

#include <QString>
#include <QStringView>

namespace reelkeep {

class Value;

/// An expression's value as the page writes it: CStr's text, nothing for Empty. Raises Invalid
/// use of Null (94) for Null.
QString pageTextOf(const Value& value);

/// The most bytes one code unit of text can take in a page: a character reference "&#NNNNN;".
inline constexpr qsizetype MaxPageBytesPerUnit = 8;

/// Writes text as UTF-8 from `out` on and returns the end of what it wrote. A lone surrogate half,
/// which has no UTF-8 form, is written as its character reference. `out` must have room for
/// MaxPageBytesPerUnit bytes per code unit.
char* writeUtf8Page(char* out, QStringView text);

/// Writes text as Windows-1252 from `out` on and returns the end of what it wrote. A character
/// the code page has no byte for is written as the character reference of its code point (a
/// surrogate pair as one). `out` must have room for MaxPageBytesPerUnit bytes per code unit.
char* writeWindows1252Page(char* out, QStringView text);

/// Writes text in the page's character set: UTF-8 when `utf8`, otherwise Windows-1252.
inline char* writePageText(char* out, QStringView text, bool utf8)
{
    return utf8 ? writeUtf8Page(out, text) : writeWindows1252Page(out, text);
}

} // namespace reelkeep
