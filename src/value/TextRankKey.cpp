// Rank keys: each character's ranks under the text collation, derived from it and checked once.
#include "value/TextRankKey.h"

#include "value/Compare.h"

#include <QCollatorSortKey>
#include <QString>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

namespace reelkeep {
namespace {

// How the collation sees one character: its primary rank (0 when the collation ignores the
// character altogether) and its accent rank among the characters of that primary (0 for the
// plain letter).
struct CharacterRank
{
    bool covered = false;
    std::uint8_t primary = 0;
    std::uint8_t accent = 0;
};

using RankTable = std::array<CharacterRank, 256>;

// A rank key holds the primary ranks of the characters the collation does not ignore. When one of
// them has an accent, a zero and one accent byte per primary follow: the accent rank, or 0 for a
// plain letter. The collation compares all primaries first and then the secondaries, in which an
// accent is a weight of its own after the letter's common one, above that common weight. Between
// texts with equal primaries, and so with as many letters, that order is the order of the accent
// bytes.
constexpr std::uint8_t AccentsFollow = 0;
constexpr int MaxRank = 255;

// Writes the rank key of `text` to `out`, which has room for maxTextRankKeyLength() bytes, and
// returns its length; nullopt when the table does not cover a character of the text. The accent
// bytes go to the back half of the room first and move up behind the primaries when one is set.
std::optional<std::size_t> writeRankKey(QStringView text, const RankTable& table, std::uint8_t* out)
{
    std::uint8_t* const accents = out + text.size() + 1;
    std::size_t primaries = 0;
    std::uint8_t accented = 0;
    for (const QChar c : text) {
        if (c.unicode() >= table.size() || !table[c.unicode()].covered)
            return std::nullopt;
        const CharacterRank& rank = table[c.unicode()];
        out[primaries] = rank.primary; // an ignored character's zero is overwritten by the next rank
        accents[primaries] = rank.accent;
        primaries += rank.primary != 0;
        accented |= rank.accent;
    }
    if (accented == 0)
        return primaries;
    out[primaries] = AccentsFollow;
    if (primaries < std::size_t(text.size()))
        std::memmove(out + primaries + 1, accents, primaries);
    return 2 * primaries + 1;
}

int compareTexts(std::u16string_view left, std::u16string_view right)
{
    return compareStrings(QStringView(left), QStringView(right), CompareMode::Text);
}

// The characters tried: ASCII and the Latin-1 letters, most of them a letter with one accent.
// Latin-1 punctuation stays with the full collation; the middle dot, for one, forms a contraction
// with an "l" before it.
std::vector<char16_t> candidates()
{
    std::vector<char16_t> result;
    for (char16_t c = 0; c < 0x100; ++c) {
        if (c < 0x80 || (c >= 0xc0 && QChar(c).isLetter()))
            result.push_back(c);
    }
    return result;
}

// Whether the collation ignores the character altogether: its key is the empty text's.
bool isIgnored(char16_t c)
{
    static const QCollatorSortKey nothing = textSortKey(QString());
    return textSortKey(QString(QChar(c))).compare(nothing) == 0;
}

// The characters the collation does not ignore, in its order.
std::vector<char16_t> inCollationOrder(const std::vector<char16_t>& characters)
{
    std::vector<char16_t> result;
    std::copy_if(characters.begin(), characters.end(), std::back_inserter(result), [](char16_t c) {
        return !isIgnored(c);
    });
    std::stable_sort(result.begin(), result.end(), [](char16_t left, char16_t right) {
        return compareTexts({&left, 1}, {&right, 1}) < 0;
    });
    return result;
}

// Ranks characters given in collation order, none of them ignored.
class RankDerivation
{
public:
    explicit RankDerivation(const std::vector<char16_t>& ordered)
        : m_lowest(ordered.front())
        , m_highest(ordered.back())
        , m_plain(ordered.front())
    {
        m_representatives.push_back(ordered.front());
        place(ordered.front());
        for (std::size_t i = 1; i < ordered.size(); ++i) {
            if (compareTexts({&ordered[i - 1], 1}, {&ordered[i], 1}) != 0)
                startGroup(ordered[i - 1], ordered[i]);
            place(ordered[i]);
        }
        for (const char16_t c : ordered)
            checkFit(c);
    }

    bool representable() const { return m_primary <= MaxRank && m_largestAccent <= MaxRank; }
    const RankTable& table() const { return m_table; }
    // The first character of each group the collation finds equal on their own ("a" and "A").
    const std::vector<char16_t>& representatives() const { return m_representatives; }
    // Characters the ranks cannot follow, such as "ß", which the collation expands to "ss".
    const std::vector<char16_t>& misfits() const { return m_misfits; }

private:
    // Neighbours that differ share a primary when the highest character after the first still
    // sorts after the lowest one after the second: only their accents told them apart.
    bool samePrimary(char16_t before, char16_t after) const
    {
        return compareTexts(std::u16string{before, m_highest}, std::u16string{after, m_lowest}) > 0;
    }

    // A character the collation puts after `before` starts a group of its own: one more accent on
    // the same letter, or the next primary.
    void startGroup(char16_t before, char16_t c)
    {
        m_representatives.push_back(c);
        if (samePrimary(before, c)) {
            m_largestAccent = std::max(m_largestAccent, ++m_accent);
            return;
        }
        ++m_primary;
        m_accent = 0;
        m_plain = c;
    }

    void place(char16_t c)
    {
        m_table[c] = {
            true, std::uint8_t(std::min(m_primary, MaxRank)), std::uint8_t(std::min(m_accent, MaxRank))};
        m_plainOf[c] = m_plain;
    }

    // A character with one primary weight sorts before its plain letter followed by the lowest
    // character; one that expands to two primaries does not.
    void checkFit(char16_t c)
    {
        if (compareTexts({&c, 1}, std::u16string{m_plainOf[c], m_lowest}) >= 0)
            m_misfits.push_back(c);
    }

    char16_t m_lowest;
    char16_t m_highest;
    char16_t m_plain;
    int m_primary = 1;
    int m_accent = 0;
    int m_largestAccent = 0;
    RankTable m_table{};
    std::array<char16_t, 256> m_plainOf{};
    std::vector<char16_t> m_representatives;
    std::vector<char16_t> m_misfits;
};

// The ranks of the covered characters, and a character for each group of equal ones.
struct Ranks
{
    RankTable table;
    std::vector<char16_t> representatives;
};

// Ranks the candidates, leaving out the misfits until every character left fits.
std::optional<Ranks> deriveRanks()
{
    std::vector<char16_t> characters = candidates();
    for (;;) {
        const std::vector<char16_t> ordered = inCollationOrder(characters);
        if (ordered.size() < 2)
            return std::nullopt;
        const RankDerivation derivation(ordered);
        if (!derivation.representable())
            return std::nullopt;
        if (derivation.misfits().empty()) {
            Ranks ranks{derivation.table(), derivation.representatives()};
            for (const char16_t c : characters)
                ranks.table[c].covered = true; // the ignored ones keep primary 0
            const auto ignored = std::find_if(characters.begin(), characters.end(), [&](char16_t c) {
                return ranks.table[c].primary == 0;
            });
            if (ignored != characters.end())
                ranks.representatives.push_back(*ignored);
            return ranks;
        }
        std::erase_if(characters, [&](char16_t c) {
            return std::find(derivation.misfits().begin(), derivation.misfits().end(), c) !=
                   derivation.misfits().end();
        });
    }
}

// The rank key of a text of one or two characters, packed into the top five bytes of a word.
std::uint64_t packedRankKey(const RankTable& table, std::u16string_view text)
{
    std::array<std::uint8_t, 8> bytes; // room for two characters' 5 bytes
    const std::size_t length = writeRankKey(QStringView(text), table, bytes.data()).value_or(0);
    std::fill(bytes.begin() + std::ptrdiff_t(length), bytes.end(), std::uint8_t(0));
    return qFromBigEndian<quint64>(bytes.data());
}

// Every text of one or two of the characters, put in the order of their rank keys, must be in the
// collation's order too, with equal keys exactly where the collation finds the texts equal. This
// catches what the ranks do not model: contractions, expansions, and a collation that passes over
// punctuation or spaces on its first level (then "-c" would sort after "b").
bool matchesCollation(const RankTable& table, const std::vector<char16_t>& characters)
{
    // Text number t is characters[t / (count + 1)] followed by characters[t % (count + 1) - 1],
    // if any; it rides in the low bytes of its key.
    constexpr std::uint64_t KeyBits = ~std::uint64_t(0) << 24;
    const std::size_t count = characters.size();
    const auto text = [&](std::uint64_t probe) {
        const std::size_t t = probe & ~KeyBits;
        const std::size_t second = t % (count + 1);
        std::u16string result{characters[t / (count + 1)]};
        if (second != 0)
            result += characters[second - 1];
        return result;
    };
    std::vector<std::uint64_t> probes;
    for (std::size_t t = 0; t < count * (count + 1); ++t)
        probes.push_back(packedRankKey(table, text(t)) | t);
    std::sort(probes.begin(), probes.end());
    return std::adjacent_find(probes.begin(), probes.end(), [&](std::uint64_t left, std::uint64_t right) {
               const int expected = (left & KeyBits) < (right & KeyBits) ? -1 : 0;
               return compareTexts(text(left), text(right)) != expected;
           }) == probes.end();
}

// Characters that compare equal on their own are checked through one of them, which keeps this
// first-use check to some ten thousand comparisons.
const std::optional<RankTable>& rankTable()
{
    static const std::optional<RankTable> table = []() -> std::optional<RankTable> {
        std::optional<Ranks> ranks = deriveRanks();
        if (ranks && matchesCollation(ranks->table, ranks->representatives))
            return ranks->table;
        return std::nullopt;
    }();
    return table;
}

} // namespace

void prepareTextRankKeys()
{
    rankTable();
}

std::optional<std::size_t> writeTextRankKey(QStringView text, std::span<std::uint8_t> room)
{
    Q_ASSERT(room.size() >= maxTextRankKeyLength(text.size()));
    const std::optional<RankTable>& table = rankTable();
    if (!table)
        return std::nullopt;
    return writeRankKey(text, *table, room.data());
}

} // namespace reelkeep
