// The films as the rows of a table, in the catalogue's order or sorted by a column.
#include "window/FilmTableModel.h"

#include "catalogue/Catalogue.h"
#include "pagegen/PageOrder.h"
#include "window/CoverThumbnails.h"
#include "window/PosterFrame.h"

#include <QDir>
#include <QFileInfo>
#include <QPixmap>

#include <algorithm>

namespace reelkeep {

namespace {

constexpr int TitleColumn = 0;

std::vector<int> asPositions(const QList<std::int16_t>& order)
{
    return {order.begin(), order.end()};
}

// A cell shows one line: the line breaks of a plot or a long text become spaces.
QString oneLine(const QString& text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')) ? text.simplified() : text;
}

} // namespace

FilmTableModel::FilmTableModel(Catalogue& catalogue, CoverThumbnails& covers, QObject* parent)
    : QAbstractProxyModel(parent)
    , m_catalogue(catalogue)
    , m_covers(covers)
    , m_columns{FilmColumn::ofField(Field::Title)}
{
    QAbstractProxyModel::setSourceModel(&catalogue);
    refreshCaptions();
    connectCatalogue();
    connect(&m_covers, &CoverThumbnails::thumbnailRead, this, &FilmTableModel::coverRead);
}

void FilmTableModel::connectCatalogue()
{
    const auto range = [this](void (FilmTableModel::*change)(int, int)) {
        return [this, change](const QModelIndex&, int first, int last) { (this->*change)(first, last); };
    };
    connect(&m_catalogue,
            &QAbstractItemModel::rowsAboutToBeInserted,
            this,
            range(&FilmTableModel::rowsAboutToBeInserted));
    connect(&m_catalogue, &QAbstractItemModel::rowsInserted, this, range(&FilmTableModel::rowsInserted));
    connect(&m_catalogue,
            &QAbstractItemModel::rowsAboutToBeRemoved,
            this,
            range(&FilmTableModel::rowsAboutToBeRemoved));
    connect(&m_catalogue, &QAbstractItemModel::rowsRemoved, this, range(&FilmTableModel::rowsRemoved));
    connect(
        &m_catalogue,
        &QAbstractItemModel::dataChanged,
        this,
        [this](const QModelIndex& first, const QModelIndex& last) { filmsChanged(first.row(), last.row()); });
    connect(&m_catalogue, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
    connect(&m_catalogue, &QAbstractItemModel::modelReset, this, &FilmTableModel::listReset);
    connect(&m_catalogue, &Catalogue::extraFieldsChanged, this, &FilmTableModel::extraFieldsChanged);
}

// ---- the columns ----

void FilmTableModel::setColumns(const QList<FilmColumn>& columns)
{
    QList<FilmColumn> shown{FilmColumn::ofField(Field::Title)};
    for (const FilmColumn& column : columns) {
        if (!shown.contains(column))
            shown.append(column);
    }
    // Every column after the title goes, and the new ones come: a row selected whole stays selected.
    if (m_columns.size() > 1) {
        beginRemoveColumns({}, 1, int(m_columns.size()) - 1);
        m_columns.resize(1);
        endRemoveColumns();
    }
    if (shown.size() > 1) {
        beginInsertColumns({}, 1, int(shown.size()) - 1);
        m_columns = shown;
        endInsertColumns();
    }
    refreshCaptions();
    // Rows are never sorted by a column not shown.
    if (m_sortedBy && !m_columns.contains(*m_sortedBy))
        sort(-1);
}

QList<FilmColumn> FilmTableModel::offeredColumns() const
{
    QList<FilmColumn> offered;
    for (int i = 0; i < FieldCount; ++i)
        offered.append(FilmColumn::ofField(fieldAt(i)));
    for (qsizetype i = 0; i < m_catalogue.extraFields().size(); ++i)
        offered.append(FilmColumn::ofExtraField(i));
    offered.append(FilmColumn::cover());
    return offered;
}

QString FilmTableModel::caption(const FilmColumn& column) const
{
    switch (column.shows) {
    case FilmColumn::Shows::Field:
        return fieldCaption(column.field).toString();
    case FilmColumn::Shows::ExtraField:
        return m_catalogue.extraFields().value(column.extra).name;
    case FilmColumn::Shows::Cover:
        break;
    }
    return QStringLiteral("Cover");
}

int FilmTableModel::coverColumn() const
{
    return int(m_columns.indexOf(FilmColumn::cover()));
}

void FilmTableModel::setListFolder(const QString& folder)
{
    if (folder == m_listFolder)
        return;
    m_listFolder = folder;
    emitRowsChanged(0, rowCount() - 1);
}

QString FilmTableModel::coverFile(int position) const
{
    const QString file = PosterFrame::fileOf(m_catalogue.at(position)[Field::ImgSrc], m_listFolder);
    return file.isEmpty() ? file : QDir::cleanPath(QFileInfo(file).absoluteFilePath());
}

void FilmTableModel::coverRead()
{
    const int column = coverColumn();
    if (column >= 0 && rowCount() > 0)
        emit dataChanged(index(0, column), index(rowCount() - 1, column), {Qt::DecorationRole});
}

// ---- the order ----

void FilmTableModel::sort(int column, Qt::SortOrder order)
{
    std::optional<FilmColumn> sortedBy;
    if (column >= 0 && column < columnCount())
        sortedBy = m_columns[column];
    if (sortedBy == m_sortedBy && (!sortedBy || order == m_sortOrder))
        return;
    reorder([&] {
        m_sortedBy = sortedBy;
        m_sortOrder = order;
        m_positions = sortedBy ? sortedOrder() : std::vector<int>();
    });
    emit sortChanged();
}

int FilmTableModel::sortColumn() const
{
    return m_sortedBy ? int(m_columns.indexOf(*m_sortedBy)) : -1;
}

// The cover column is sorted by the Source's text.
std::vector<int> FilmTableModel::sortedOrder() const
{
    const FilmColumn& column = *m_sortedBy;
    FilmSortKey key = column.field;
    if (column.shows == FilmColumn::Shows::ExtraField)
        key = column.extra;
    else if (column.shows == FilmColumn::Shows::Cover)
        key = Field::ImgSrc;
    return asPositions(sortedFilmOrder(
        m_catalogue.entries(), m_catalogue.extraFields(), key, m_sortOrder == Qt::AscendingOrder));
}

void FilmTableModel::reorder(const std::function<void()>& change)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> positions;
    positions.reserve(size_t(before.size()));
    for (const QModelIndex& held : before)
        positions.push_back(positionOfRow(held.row()));
    change();
    indexRows();
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        after.append(index(rowOfPosition(positions[size_t(i)]), before[i].column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void FilmTableModel::sortAgain()
{
    if (!m_sortedBy)
        return;
    std::vector<int> order = sortedOrder();
    if (order != m_positions)
        reorder([&] { m_positions = std::move(order); });
}

// The catalogue may hold none of its films while it tells of a change (it moves them out first), so
// the rows are counted here, not there.
void FilmTableModel::indexRows()
{
    m_rows.assign(m_positions.size(), -1);
    for (size_t row = 0; row < m_positions.size(); ++row)
        m_rows[size_t(m_positions[row])] = int(row);
}

int FilmTableModel::rowOfPosition(int position) const
{
    if (!m_sortedBy)
        return position;
    return position >= 0 && size_t(position) < m_rows.size() ? m_rows[size_t(position)] : -1;
}

int FilmTableModel::positionOfRow(int row) const
{
    if (!m_sortedBy)
        return row;
    return row >= 0 && size_t(row) < m_positions.size() ? m_positions[size_t(row)] : -1;
}

// ---- following the catalogue ----
// In the catalogue's order a change is passed on as it is. Sorted, films that come are added at the
// end and then sorted in; films that go are first gathered at the end, so that one removal of
// rows takes them all, wherever the sort had put them.

void FilmTableModel::rowsAboutToBeInserted(int first, int last)
{
    if (!m_sortedBy)
        beginInsertRows({}, first, last);
}

void FilmTableModel::rowsInserted(int first, int last)
{
    if (!m_sortedBy) {
        endInsertRows();
        return;
    }
    const int added = last - first + 1;
    for (int& position : m_positions) {
        if (position >= first)
            position += added;
    }
    const int rows = int(m_positions.size());
    beginInsertRows({}, rows, rows + added - 1);
    for (int position = first; position <= last; ++position)
        m_positions.push_back(position);
    indexRows();
    endInsertRows();
    sortAgain();
}

void FilmTableModel::rowsAboutToBeRemoved(int first, int last)
{
    if (!m_sortedBy) {
        beginRemoveRows({}, first, last);
        return;
    }
    std::vector<int> order = m_positions;
    std::stable_partition(order.begin(), order.end(), [first, last](int position) {
        return position < first || position > last;
    });
    reorder([&] { m_positions = std::move(order); });
    const int rows = int(m_positions.size());
    beginRemoveRows({}, rows - (last - first + 1), rows - 1);
    m_positions.resize(size_t(rows - (last - first + 1)));
    indexRows();
    endRemoveRows();
}

void FilmTableModel::rowsRemoved(int first, int last)
{
    if (!m_sortedBy) {
        endRemoveRows();
        return;
    }
    for (int& position : m_positions) {
        if (position > last)
            position -= last - first + 1;
    }
    indexRows();
}

void FilmTableModel::filmsChanged(int first, int last)
{
    sortAgain();
    if (first == last)
        emitRowsChanged(rowOfPosition(first), rowOfPosition(first));
    else
        emitRowsChanged(0, rowCount() - 1);
}

void FilmTableModel::listReset()
{
    if (m_sortedBy)
        m_positions = sortedOrder();
    indexRows();
    endResetModel();
}

// Columns follow their extra fields to their new places, keeping their widths; a column whose field
// went goes too.
void FilmTableModel::extraFieldsChanged(const QList<qsizetype>& origins)
{
    const auto follow = [&origins](std::optional<FilmColumn>& column) {
        if (column && column->shows == FilmColumn::Shows::ExtraField) {
            const qsizetype now = origins.indexOf(column->extra);
            column = now >= 0 ? std::optional(FilmColumn::ofExtraField(now)) : std::nullopt;
        }
    };
    QList<qsizetype> gone;
    for (qsizetype i = 0; i < m_columns.size(); ++i) {
        std::optional<FilmColumn> column = m_columns[i];
        follow(column);
        if (column)
            m_columns[i] = *column;
        else
            gone.prepend(i);
    }
    for (const qsizetype column : gone) {
        beginRemoveColumns({}, int(column), int(column));
        m_columns.removeAt(column);
        m_captions.removeAt(column);
        endRemoveColumns();
    }
    std::optional<FilmColumn> sortedBy = m_sortedBy;
    follow(sortedBy);
    if (m_sortedBy && !sortedBy) {
        reorder([this] {
            m_sortedBy.reset();
            m_positions.clear();
        });
        emit sortChanged();
    }
    m_sortedBy = sortedBy;
    sortAgain();
    const QStringList captionsBefore = m_captions;
    refreshCaptions();
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    emitRowsChanged(0, rowCount() - 1);
    if (m_captions != captionsBefore)
        emit columnRenamed();
}

void FilmTableModel::refreshCaptions()
{
    m_captions.clear();
    for (const FilmColumn& column : m_columns)
        m_captions.append(caption(column));
}

void FilmTableModel::emitRowsChanged(int firstRow, int lastRow)
{
    if (firstRow >= 0 && lastRow >= firstRow)
        emit dataChanged(index(firstRow, 0), index(lastRow, columnCount() - 1));
}

// ---- the model ----

QModelIndex FilmTableModel::mapToSource(const QModelIndex& proxyIndex) const
{
    if (!proxyIndex.isValid())
        return {};
    return m_catalogue.index(positionOfRow(proxyIndex.row()));
}

QModelIndex FilmTableModel::mapFromSource(const QModelIndex& sourceIndex) const
{
    if (!sourceIndex.isValid())
        return {};
    const int row = rowOfPosition(sourceIndex.row());
    return row < 0 ? QModelIndex() : index(row, TitleColumn);
}

QModelIndex FilmTableModel::index(int row, int column, const QModelIndex& parent) const
{
    return hasIndex(row, column, parent) ? createIndex(row, column) : QModelIndex();
}

QModelIndex FilmTableModel::parent(const QModelIndex&) const
{
    return {};
}

int FilmTableModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return m_sortedBy ? int(m_positions.size()) : m_catalogue.count();
}

int FilmTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

Qt::ItemFlags FilmTableModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren
                           : Qt::NoItemFlags;
}

QVariant FilmTableModel::data(const QModelIndex& index, int role) const
{
    const int position = positionOfRow(index.row());
    if (!index.isValid() || position < 0 || position >= m_catalogue.count())
        return {};
    const FilmRecord& film = m_catalogue.at(position);
    const FilmColumn& column = m_columns[index.column()];
    if (column.shows == FilmColumn::Shows::Cover) {
        const QString& source = film[Field::ImgSrc];
        if (role == Qt::DecorationRole && !source.isEmpty()) {
            const QPixmap thumbnail = m_covers.thumbnail(coverFile(position));
            return thumbnail.isNull() ? QVariant() : QVariant(thumbnail);
        }
        return role == Qt::ToolTipRole || role == Qt::AccessibleTextRole ? QVariant(source) : QVariant();
    }
    const bool extra = column.shows == FilmColumn::Shows::ExtraField;
    const QString& text = extra ? film.extraValue(column.extra) : film[column.field];
    switch (role) {
    case Qt::DisplayRole:
        return oneLine(text);
    case Qt::AccessibleTextRole:
        return index.column() == TitleColumn && text.isEmpty() ? NoTitleText : oneLine(text);
    case Qt::TextAlignmentRole: {
        const ExtraKind kind = extra ? m_catalogue.extraFields().value(column.extra).kind : ExtraKind::Text;
        const bool number = kind == ExtraKind::Number || kind == ExtraKind::Rating;
        return int(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    default:
        return {};
    }
}

QVariant FilmTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return caption(m_columns[section]);
    if (role == Qt::ToolTipRole)
        return QStringLiteral("Sort by %1; click again for the reverse order, a third time for the "
                              "collection's own order")
            .arg(caption(m_columns[section]));
    return {};
}

} // namespace reelkeep
