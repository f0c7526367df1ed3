// Sorting the films into the page order.
#include "pagegen/PageOrder.h"

#include "evaluator/value/Compare.h"

#include <algorithm>
#include <numeric>
#include <optional>
#include <vector>

namespace reelkeep {

namespace {

// The six fields a page can be sorted by.
std::optional<Field> sortKey(QStringView name)
{
    for (int i = 0; i <= static_cast<int>(Field::Date); ++i) {
        if (fieldName(fieldAt(i)) == name)
            return fieldAt(i);
    }
    return std::nullopt;
}

} // namespace

QList<std::int16_t> sortedPageOrder(const QList<FilmRecord>& films, const QString& fieldName, bool ascending)
{
    QList<std::int16_t> order(films.size());
    std::iota(order.begin(), order.end(), std::int16_t(0));
    const std::optional<Field> key = sortKey(fieldName);
    if (!key)
        return order;
    std::vector<QCollatorSortKey> keys;
    keys.reserve(static_cast<size_t>(films.size()));
    for (const FilmRecord& film : films)
        keys.push_back(textSortKey(film[*key]));
    // A stable sort keeps equal keys in catalogue order, in either direction.
    std::stable_sort(order.begin(), order.end(), [&](std::int16_t left, std::int16_t right) {
        const int comparison = keys[size_t(left)].compare(keys[size_t(right)]);
        return ascending ? comparison < 0 : comparison > 0;
    });
    return order;
}

} // namespace reelkeep
