// The films as the rows of a table: the columns the user picks, and the view's order, which a sort
// by a column changes while the catalogue keeps its own.
#pragma once

#include "catalogue/FilmRecord.h"

#include <QAbstractProxyModel>

#include <functional>
#include <optional>
#include <vector>

namespace reelkeep {

class Catalogue;
class CoverThumbnails;

/// What a column of the film table shows: one of the seventeen fields, an extra field of the list
/// or the film's cover.
struct FilmColumn
{
    enum class Shows
    {
        Field,
        ExtraField,
        Cover,
    };

    Shows shows = Shows::Field;
    Field field = Field::Title;
    /// The extra field's position in the list's fields.
    qsizetype extra = -1;

    static FilmColumn ofField(Field field) { return {Shows::Field, field, -1}; }
    static FilmColumn ofExtraField(qsizetype extra) { return {Shows::ExtraField, Field::Title, extra}; }
    static FilmColumn cover() { return {Shows::Cover, Field::Title, -1}; }

    bool operator==(const FilmColumn&) const = default;
};

/// The catalogue's films, one a row, with a column for each FilmColumn shown. The rows follow the
/// catalogue's order until sort() orders them by a column: then a row is a film wherever the
/// catalogue holds it, and the model follows every change to the catalogue in that order.
class FilmTableModel : public QAbstractProxyModel
{
    Q_OBJECT

public:
    FilmTableModel(Catalogue& catalogue, CoverThumbnails& covers, QObject* parent = nullptr);

    const Catalogue& catalogue() const { return m_catalogue; }
    const QList<FilmColumn>& columns() const { return m_columns; }
    /// Shows these columns, the title's first however they are given.
    void setColumns(const QList<FilmColumn>& columns);
    /// Every column the list offers: the seventeen fields, its extra fields, the cover.
    QList<FilmColumn> offeredColumns() const;
    /// The column's header: the field's caption, the extra field's name, "Cover".
    QString caption(const FilmColumn& column) const;

    /// The folder a relative Source names a cover in: the list file's, or empty for none.
    void setListFolder(const QString& folder);
    /// The cover file of the film at a catalogue position, or the empty text.
    QString coverFile(int position) const;

    /// Orders the rows by a column (numbers, ratings, dates and yes/no by value, texts as titles
    /// are sorted, equal ones in the catalogue's order), or by the catalogue's order for -1.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    /// The column the rows are sorted by, or -1 in the catalogue's order.
    int sortColumn() const;
    Qt::SortOrder sortOrder() const { return m_sortOrder; }
    bool isSorted() const { return m_sortedBy.has_value(); }

    /// The row of the film at a catalogue position, and the catalogue position of a row.
    int rowOfPosition(int position) const;
    int positionOfRow(int row) const;

    QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex& sourceIndex) const override;
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    /// The rows were sorted by another column or order, or went back to the catalogue's order.
    void sortChanged();
    /// A column shown names an extra field that the list renamed.
    void columnRenamed();

private:
    void connectCatalogue();
    void rowsAboutToBeInserted(int first, int last);
    void rowsInserted(int first, int last);
    void rowsAboutToBeRemoved(int first, int last);
    void rowsRemoved(int first, int last);
    void filmsChanged(int first, int last);
    void listReset();
    void extraFieldsChanged(const QList<qsizetype>& origins);
    void coverRead();

    /// The catalogue positions in the order of the sort.
    std::vector<int> sortedOrder() const;
    /// Changes the rows' order (m_positions, m_sortedBy), the views' indexes following their films.
    void reorder(const std::function<void()>& change);
    /// Sorts again after the films changed.
    void sortAgain();
    void indexRows();
    void refreshCaptions();
    void emitRowsChanged(int firstRow, int lastRow);
    int coverColumn() const;

    Catalogue& m_catalogue;
    CoverThumbnails& m_covers;
    QList<FilmColumn> m_columns;
    /// The columns' captions, to tell a renamed field.
    QStringList m_captions;
    QString m_listFolder;
    std::optional<FilmColumn> m_sortedBy;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    /// While sorted: the catalogue position of each row, and the row of each position (-1 for a
    /// film about to go). Empty in the catalogue's order.
    std::vector<int> m_positions;
    std::vector<int> m_rows;
};

} // namespace reelkeep
