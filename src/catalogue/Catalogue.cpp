// The catalogue's entries and the list model that shows their titles.
#include "catalogue/Catalogue.h"

namespace reelkeep {

Catalogue::Catalogue(QObject* parent)
    : QAbstractListModel(parent)
{}

bool Catalogue::append(const FilmRecord& film)
{
    if (isFull())
        return false;
    beginInsertRows({}, count(), count());
    m_entries.append(film);
    endInsertRows();
    return true;
}

void Catalogue::replace(int position, const FilmRecord& film)
{
    m_entries[position] = film;
    const QModelIndex line = index(position);
    emit dataChanged(line, line);
}

void Catalogue::remove(int position)
{
    beginRemoveRows({}, position, position);
    m_entries.removeAt(position);
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
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return m_entries.at(index.row()).title();
    return {};
}

} // namespace reelkeep
