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

bool Catalogue::insert(int position, const QList<FilmRecord>& films)
{
    if (films.isEmpty() || films.size() > MaxEntries - count())
        return films.isEmpty();
    // The room is made first: a list that cannot get it stays as it was, and so do its views.
    m_entries.reserve(count() + films.size());
    beginInsertRows({}, position, position + static_cast<int>(films.size()) - 1);
    m_entries.insert(position, films.size(), FilmRecord());
    std::copy(films.begin(), films.end(), m_entries.begin() + position);
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
    // Made apart first, as insert does: a list shared with an undo step takes a copy of its own.
    QList<FilmRecord> entries = m_entries;
    entries.remove(position, count);
    beginRemoveRows({}, position, position + count - 1);
    m_entries.swap(entries);
    endRemoveRows();
}

void Catalogue::exchangeWithNext(int position)
{
    m_entries.swapItemsAt(position, position + 1);
    emit dataChanged(index(position), index(position + 1));
}

void Catalogue::replaceAll(QList<FilmRecord> films)
{
    beginResetModel();
    m_entries = std::move(films);
    endResetModel();
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
