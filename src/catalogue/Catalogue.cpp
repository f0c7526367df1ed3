// The catalogue's entries and the list model that shows their titles.
#include "catalogue/Catalogue.h"

#include <algorithm>

namespace reelkeep {

Catalogue::Catalogue(QObject* parent)
    : QAbstractListModel(parent)
{}

bool Catalogue::append(const FilmRecord& film)
{
    return insert(count(), {film});
}

namespace {

// The entries, taken from `entries`, with a change made to them before the model tells its views
// of it: when the change cannot get the memory it needs, `entries` gets them back as they were,
// and the views never hear of it.
template <typename Change> QList<FilmRecord> changedApart(QList<FilmRecord>& entries, Change change)
{
    QList<FilmRecord> changed = std::move(entries);
    try {
        change(changed);
    } catch (...) {
        entries = std::move(changed);
        throw;
    }
    return changed;
}

} // namespace

bool Catalogue::insert(int position, const QList<FilmRecord>& films)
{
    if (films.isEmpty() || films.size() > MaxEntries - count())
        return films.isEmpty();
    QList<FilmRecord> grown = changedApart(m_entries, [&](QList<FilmRecord>& entries) {
        entries.insert(position, films.size(), FilmRecord());
        std::copy(films.begin(), films.end(), entries.begin() + position);
    });
    beginInsertRows({}, position, position + static_cast<int>(films.size()) - 1);
    m_entries = std::move(grown);
    endInsertRows();
    return true;
}

void Catalogue::replace(int position, const FilmRecord& film)
{
    m_entries[position] = film;
    const QModelIndex line = index(position);
    emit dataChanged(line, line);
}

void Catalogue::remove(int position, int count)
{
    QList<FilmRecord> rest =
        changedApart(m_entries, [&](QList<FilmRecord>& entries) { entries.remove(position, count); });
    beginRemoveRows({}, position, position + count - 1);
    m_entries = std::move(rest);
    endRemoveRows();
}

void Catalogue::exchangeWithNext(int position)
{
    m_entries.swapItemsAt(position, position + 1);
    emit dataChanged(index(position), index(position + 1));
}

void Catalogue::replaceAll(QList<FilmRecord> films, ExtraFields fields)
{
    const bool fieldsChange = fields != m_extraFields;
    const QList<qsizetype> origins = originsOf(fields);
    beginResetModel();
    m_entries = std::move(films);
    m_extraFields = std::move(fields);
    endResetModel();
    if (fieldsChange)
        emit extraFieldsChanged(origins);
}

void Catalogue::setExtraFields(ExtraFields fields)
{
    if (fields == m_extraFields)
        return;
    const QList<qsizetype> origins = originsOf(fields);
    m_extraFields = std::move(fields);
    emit extraFieldsChanged(origins);
}

QList<qsizetype> Catalogue::originsOf(const ExtraFields& fields) const
{
    QList<qsizetype> origins;
    for (const ExtraField& field : fields) {
        const qsizetype before = extraFieldIndex(m_extraFields, field.name);
        origins.append(before >= 0 && m_extraFields[before].kind == field.kind ? before : -1);
    }
    return origins;
}

void Catalogue::changeExtraFields(const std::function<void(ExtraFields&, QList<FilmRecord>&)>& change,
                                  const QList<qsizetype>& origins)
{
    ExtraFields fields = m_extraFields;
    QList<FilmRecord> films = m_entries;
    change(fields, films);
    m_extraFields = std::move(fields);
    m_entries = std::move(films);
    emit extraFieldsChanged(origins);
}

void Catalogue::setModified(bool modified)
{
    if (m_modified == modified)
        return;
    m_modified = modified;
    emit modifiedChanged(modified);
}

int Catalogue::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant Catalogue::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    const QString& title = m_entries.at(index.row()).title();
    if (role == Qt::DisplayRole)
        return title;
    if (role == Qt::AccessibleTextRole)
        return title.isEmpty() ? NoTitleText : title;
    return {};
}

} // namespace reelkeep
