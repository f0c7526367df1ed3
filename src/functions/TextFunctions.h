// Text functions: character codes, searching, slicing, replacing, Hex/Oct and Str.
#pragma once

#include "value/Compare.h"
#include "value/Value.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace reelkeep {

/// Asc: the code of the first character in the code page (Windows-1252): Asc("€") is 128; a
/// character the code page lacks gives 63 ("?"). Invalid procedure call (5) for "".
Value asc(const QString& text);
/// AscB: the first byte of the text's 16-bit units, low byte first: AscB("€") is 172 (a Byte).
/// Invalid procedure call (5) for "".
Value ascB(const QString& text);
/// AscW: the first 16-bit code unit as an Integer, so units above 32767 are negative.
/// Invalid procedure call (5) for "".
Value ascW(const QString& text);
/// Chr: the character of a code-page code 0 to 255 (128 is "€"); Invalid procedure call (5)
/// outside that range.
Value chr(std::int32_t code);
/// ChrB: the one-byte character of a byte, held as the code unit of the same number.
Value chrB(std::uint8_t code);
/// ChrW: the character of a 16-bit code unit, -32768 to 65535 (a negative code n is n + 65536);
/// Invalid procedure call (5) outside that range.
Value chrW(std::int32_t code);

/// Hex: upper-case hexadecimal digits of the argument rounded to a whole number; a negative
/// number is written in two's complement of its kind: Byte 8 bits, Integer and Boolean 16,
/// everything else converted to a Long, 32. Null stays Null, Empty is "0".
Value hex(const Value& number);
/// Oct: as hex(), in octal digits.
Value oct(const Value& number);

/// InStr: the position (a Long) of the first occurrence of `find` in `text` at or after `start`,
/// 0 when there is none or start is past the end; `start` when `find` is "". Null when either
/// text is Null. Invalid procedure call (5) for a start below 1 or a compare mode other than
/// -1 to 2.
Value inStr(std::int32_t start, const Value& text, const Value& find, std::int32_t compare);
/// InStrRev: the position (a Long) of the last occurrence of `find` that ends at or before
/// `start` (-1: the end of the text); 0 when there is none, when `text` is "" or start is past
/// the end; `start` when `find` is "". Invalid procedure call (5) for a start of 0 or below -1.
Value inStrRev(const QString& text, const QString& find, std::int32_t start, std::int32_t compare);
/// Replace: the text from `start` on, with up to `count` (-1: all) occurrences of `find`
/// replaced, left to right without overlap. "" when start is past the end; the text from start
/// unchanged when `find` is "" or count is 0. Invalid procedure call (5) for a start below 1 or a
/// count below -1.
Value replace(const QString& text,
              const QString& find,
              const QString& replacement,
              std::int32_t start,
              std::int32_t count,
              std::int32_t compare);

/// Left: the first `length` characters of the text form (all of it when shorter). Null stays
/// Null; Invalid procedure call (5) for a negative length.
Value left(const Value& text, std::int32_t length);
/// Right: the last `length` characters; otherwise as left().
Value right(const Value& text, std::int32_t length);
/// Mid: the characters from `start` (1-based) on, `length` of them when given (Let-coerced to
/// Long), the rest otherwise; "" when start is past the end. Null stays Null; Invalid procedure
/// call (5) for a start below 1 or a negative length.
Value mid(const Value& text, std::int32_t start, const std::optional<Value>& length);
/// Len: the Long number of characters of the text form; Null stays Null, Empty is 0.
Value len(const Value& text);
/// String: `count` times one character: the first of a text (Invalid procedure call (5) for
/// ""), or for a number the code-page character of its code Mod 256. Null stays Null;
/// Invalid procedure call (5) for a negative count.
Value string(std::int32_t count, const Value& character);
/// Str: the text of a number with a leading space when it is not negative (" 65", "-3"), "."
/// as the decimal point; a text holding a number is read as a Double first. Null stays Null,
/// a Boolean gives "True"/"False" and a Date its date text.
Value str(const Value& number);

} // namespace reelkeep
