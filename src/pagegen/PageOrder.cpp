// Sorting the films into the page order.
#include "pagegen/PageOrder.h"

#include "value/Compare.h"
#include "value/TextRankKey.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <limits>
#include <memory>
#include <numeric>
#include <optional>
#include <variant>
#include <vector>

namespace reelkeep {

namespace {

constexpr std::size_t WordSize = sizeof(std::uint64_t);
constexpr std::ptrdiff_t InsertionSortLimit = 32;

// What a page is sorted by: one of the first six fields, or the position of an extra field.
using SortKey = std::variant<Field, qsizetype>;

std::optional<SortKey> sortKey(const ExtraFields& fields, QStringView name)
{
    for (int i = 0; i <= static_cast<int>(Field::Date); ++i) {
        if (fieldName(fieldAt(i)) == name)
            return fieldAt(i);
    }
    if (const qsizetype extra = extraFieldIndex(fields, name); extra >= 0)
        return extra;
    return std::nullopt;
}

QList<std::int16_t> catalogueOrder(qsizetype count)
{
    QList<std::int16_t> order(count);
    std::iota(order.begin(), order.end(), std::int16_t(0));
    return order;
}

// Each text lives in a block of its own, and once the catalogue has been edited or sorted they lie
// all over the heap: asking for the texts (and the films holding them) a few films ahead lets
// their loads overlap.
constexpr qsizetype PrefetchDistance = 16;

// The key text of every film, `text` of it, read ahead of use.
template <typename KeyText> std::vector<QStringView> keyTexts(const QList<FilmRecord>& films, KeyText text)
{
    std::vector<QStringView> texts;
    texts.reserve(std::size_t(films.size()));
    for (qsizetype i = 0; i < films.size(); ++i) {
        if (i + PrefetchDistance < films.size())
            __builtin_prefetch(&text(films[i + PrefetchDistance]));
        texts.emplace_back(text(films[i]));
    }
    return texts;
}

// The rank keys of one field of every film, end to end.
class RankKeys
{
public:
    /// The keys, or nullopt when a text holds a character the rank keys do not cover.
    static std::optional<RankKeys> of(const std::vector<QStringView>& texts)
    {
        RankKeys keys(texts);
        std::size_t end = 0;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            if (i + PrefetchDistance < texts.size())
                __builtin_prefetch(texts[i + PrefetchDistance].data());
            // StrComp puts the empty text before every other, even one the collation ignores
            // altogether: every other key starts with a byte the empty one lacks.
            if (!texts[i].isEmpty())
                keys.m_bytes[end++] = NotEmpty;
            const std::optional<std::size_t> length =
                writeTextRankKey(texts[i], {keys.m_bytes.get() + end, maxTextRankKeyLength(texts[i].size())});
            if (!length)
                return std::nullopt;
            end += *length;
            keys.m_ends.push_back(end);
        }
        std::fill_n(keys.m_bytes.get() + end, WordSize, std::uint8_t(0)); // word() reads whole words
        return keys;
    }

    std::size_t length(std::size_t film) const { return m_ends[film] - begin(film); }

    /// The key's bytes from word number `depth` on, as a big-endian word padded with zeros.
    std::uint64_t word(std::size_t film, std::size_t depth) const
    {
        const std::size_t offset = depth * WordSize;
        const std::size_t keyLength = length(film);
        if (offset >= keyLength)
            return 0;
        const std::uint64_t word = qFromBigEndian<quint64>(m_bytes.get() + begin(film) + offset);
        const std::size_t rest = keyLength - offset;
        return rest >= WordSize ? word : word & ~(~std::uint64_t(0) >> (8 * rest));
    }

private:
    explicit RankKeys(const std::vector<QStringView>& texts)
    {
        std::size_t room = WordSize;
        for (const QStringView text : texts)
            room += 1 + maxTextRankKeyLength(text.size());
        m_bytes = std::make_unique_for_overwrite<std::uint8_t[]>(room);
        m_ends.reserve(texts.size());
    }

    std::size_t begin(std::size_t film) const { return film == 0 ? 0 : m_ends[film - 1]; }

    static constexpr std::uint8_t NotEmpty = 1;

    std::unique_ptr<std::uint8_t[]> m_bytes;
    std::vector<std::size_t> m_ends;
};

// A film and one word of its key.
struct Entry
{
    std::uint64_t word;
    std::uint32_t film;
};

// Entries whose keys agree on their first `depth` words.
struct Run
{
    std::size_t begin;
    std::size_t end;
    std::size_t depth;
};

std::size_t byteOf(std::uint64_t word, std::size_t position)
{
    return (word >> (8 * position)) & 0xff;
}

void insertionSortByWord(Entry* first, Entry* last)
{
    for (Entry* next = first + 1; next < last; ++next) {
        const Entry entry = *next;
        Entry* slot = next;
        for (; slot != first && (slot - 1)->word > entry.word; --slot)
            *slot = *(slot - 1);
        *slot = entry;
    }
}

void scatterByByte(const Entry* from,
                   Entry* to,
                   std::size_t count,
                   const std::array<std::uint32_t, 256>& counts,
                   std::size_t position)
{
    std::array<std::uint32_t, 256> next;
    std::exclusive_scan(counts.begin(), counts.end(), next.begin(), std::uint32_t(0));
    for (const Entry* entry = from; entry != from + count; ++entry)
        to[next[byteOf(entry->word, position)]++] = *entry;
}

// A stable radix sort by word, least significant byte first, passing over the bytes every entry
// shares.
void radixSortByWord(Entry* first, Entry* last, Entry* scratch)
{
    const std::size_t count = std::size_t(last - first);
    std::array<std::array<std::uint32_t, 256>, WordSize> counts{};
    for (const Entry* entry = first; entry != last; ++entry) {
        for (std::size_t position = 0; position < WordSize; ++position)
            ++counts[position][byteOf(entry->word, position)];
    }
    const std::uint64_t sample = first->word;
    Entry* from = first;
    Entry* to = scratch;
    for (std::size_t position = 0; position < WordSize; ++position) {
        if (counts[position][byteOf(sample, position)] == count)
            continue;
        scatterByByte(from, to, count, counts[position], position);
        std::swap(from, to);
    }
    if (from != first)
        std::copy(from, from + count, first);
}

// Sorts the run's entries stably by their keys' word at the run's depth. Descending order is the
// ascending order of the complemented words, so that ties keep catalogue order in both directions.
void sortRun(const RankKeys& keys, const Run& run, Entry* entries, Entry* scratch, std::uint64_t flip)
{
    Entry* first = entries + run.begin;
    Entry* last = entries + run.end;
    for (Entry* entry = first; entry != last; ++entry)
        entry->word = keys.word(entry->film, run.depth) ^ flip;
    if (std::all_of(first, last, [&](const Entry& entry) { return entry.word == first->word; }))
        return;
    if (last - first < InsertionSortLimit)
        insertionSortByWord(first, last);
    else
        radixSortByWord(first, last, scratch + run.begin);
}

// Queues each group of tied words for a sort by the next word, unless all its keys have ended:
// keys that agree up to their ends, zero padding included, are equal.
void queueTies(const RankKeys& keys,
               const std::vector<Entry>& entries,
               const Run& run,
               std::vector<Run>& runs)
{
    const std::size_t sorted = (run.depth + 1) * WordSize;
    for (std::size_t first = run.begin; first < run.end;) {
        bool continues = keys.length(entries[first].film) > sorted;
        std::size_t last = first + 1;
        for (; last < run.end && entries[last].word == entries[first].word; ++last)
            continues = continues || keys.length(entries[last].film) > sorted;
        if (continues && last - first > 1)
            runs.push_back({first, last, run.depth + 1});
        first = last;
    }
}

// Sorts by rank keys a word at a time: first by their first words, then each group of ties by the
// next words, and so on, so that long common beginnings such as "The " cost one pass each.
QList<std::int16_t> orderByRankKeys(const RankKeys& keys, std::size_t count, bool ascending)
{
    std::vector<Entry> entries(count);
    for (std::size_t film = 0; film < count; ++film)
        entries[film].film = std::uint32_t(film);
    std::vector<Entry> scratch(count);
    const std::uint64_t flip = ascending ? 0 : ~std::uint64_t(0);
    std::vector<Run> runs{{0, count, 0}};
    while (!runs.empty()) {
        const Run run = runs.back();
        runs.pop_back();
        sortRun(keys, run, entries.data(), scratch.data(), flip);
        queueTies(keys, entries, run, runs);
    }
    QList<std::int16_t> order;
    order.reserve(qsizetype(count));
    for (const Entry& entry : entries)
        order.append(std::int16_t(entry.film));
    return order;
}

// The positions sorted stably by `compare` (-1, 0 or 1): equal keys keep catalogue order in
// either direction.
template <typename Compare>
QList<std::int16_t> stableOrder(std::size_t count, bool ascending, Compare compare)
{
    QList<std::int16_t> order = catalogueOrder(qsizetype(count));
    std::stable_sort(order.begin(), order.end(), [&](std::int16_t left, std::int16_t right) {
        const int comparison = compare(std::size_t(left), std::size_t(right));
        return ascending ? comparison < 0 : comparison > 0;
    });
    return order;
}

QList<std::int16_t> orderByCollationKeys(const std::vector<QStringView>& texts, bool ascending)
{
    std::vector<QCollatorSortKey> keys;
    keys.reserve(texts.size());
    for (const QStringView text : texts) // each text as it is, not copied
        keys.push_back(textSortKey(QString::fromRawData(text.data(), text.size())));
    // StrComp: the empty text before every other, then the collation's order.
    return stableOrder(texts.size(), ascending, [&](std::size_t left, std::size_t right) {
        const bool leftEmpty = texts[left].isEmpty();
        const bool rightEmpty = texts[right].isEmpty();
        if (leftEmpty || rightEmpty)
            return int(rightEmpty) - int(leftEmpty);
        return keys[left].compare(keys[right]);
    });
}

// The films ordered by a text of each, `text` of a film.
template <typename KeyText>
QList<std::int16_t> orderByTexts(const QList<FilmRecord>& films, KeyText text, bool ascending)
{
    // One kind of key for the whole sort: rank keys only order like the collation's keys among
    // themselves. The list of texts is let go of before the rank keys are sorted, which needs no
    // more of it: the sort's own blocks then reuse its memory rather than take memory new to the
    // process, which the system must clear first.
    if (const std::optional<RankKeys> keys = RankKeys::of(keyTexts(films, text)))
        return orderByRankKeys(*keys, std::size_t(films.size()), ascending);
    return orderByCollationKeys(keyTexts(films, text), ascending);
}

// The films ordered by a value of each, `value` of a film, where its kind puts it (orderValue);
// the empty value before every other.
template <typename KeyValue>
QList<std::int16_t> orderByValues(const QList<FilmRecord>& films,
                                  KeyValue value,
                                  double (*orderValue)(QStringView canonical),
                                  bool ascending)
{
    std::vector<double> keys;
    keys.reserve(std::size_t(films.size()));
    for (const FilmRecord& film : films) {
        const QString& text = value(film);
        keys.push_back(text.isEmpty() ? -std::numeric_limits<double>::infinity() : orderValue(text));
    }
    return stableOrder(keys.size(), ascending, [&](std::size_t left, std::size_t right) {
        return int(keys[left] > keys[right]) - int(keys[left] < keys[right]);
    });
}

} // namespace

bool sortsBy(const ExtraFields& fields, QStringView name)
{
    return sortKey(fields, name).has_value();
}

QList<std::int16_t> sortedPageOrder(const QList<FilmRecord>& films,
                                    const ExtraFields& fields,
                                    const QString& fieldName,
                                    bool ascending)
{
    const std::optional<SortKey> key = sortKey(fields, fieldName);
    if (!key)
        return catalogueOrder(films.size());
    if (const Field* field = std::get_if<Field>(&*key))
        return orderByTexts(
            films, [field](const FilmRecord& film) -> const QString& { return film[*field]; }, ascending);
    const qsizetype extra = std::get<qsizetype>(*key);
    const auto value = [extra](const FilmRecord& film) -> const QString& { return film.extraValue(extra); };
    if (const auto orderValue = kindFacts(fields[extra].kind).orderValue)
        return orderByValues(films, value, orderValue, ascending);
    return orderByTexts(films, value, ascending);
}

} // namespace reelkeep
