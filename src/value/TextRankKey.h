// Rank keys: compact sort keys for texts of ASCII and Latin-1 letters, in the text collation's order.
#pragma once

#include <QStringView>

#include <cstdint>
#include <optional>
#include <span>

namespace reelkeep {

/// The most bytes the rank key of a text of `length` characters takes.
constexpr std::size_t maxTextRankKeyLength(qsizetype length)
{
    return 2 * std::size_t(length) + 1;
}

/// Writes the rank key of `text` to the front of `room`, which holds maxTextRankKeyLength() bytes
/// or more, and returns its length when the rank keys cover every character of the text; nullopt
/// otherwise. Rank keys compare as unsigned byte strings, a prefix first, exactly as textSortKey()
/// orders the same texts. Padding them with zero bytes keeps that order, and keys that are equal
/// once padded are equal.
///
/// The ranks come from the text collation itself on first use: the ASCII characters and Latin-1
/// letters that have one primary weight each and at most one accent. A collation the ranks cannot
/// follow (contractions, punctuation passed over on the first level) covers nothing.
std::optional<std::size_t> writeTextRankKey(QStringView text, std::span<std::uint8_t> room);

/// Derives the ranks now, as the first rank key would (a few milliseconds), so that a program
/// about to sort can have it done on another thread meanwhile. Safe to call from any thread.
void prepareTextRankKeys();

} // namespace reelkeep
