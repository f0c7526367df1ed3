// The film list on "Movies" as a table: the title and the columns the user picks, remembered for
// each list file; a click on a header sorts the rows by that column; thumbnails of the covers.
#pragma once

#include "window/FilmTableModel.h"

#include <QTableView>
#include <QTimer>

class QMenu;

namespace reelkeep {

class Catalogue;
class CoverThumbnails;
class DesktopServices;

class FilmTable : public QTableView
{
    Q_OBJECT

public:
    FilmTable(DesktopServices& desktop, Catalogue& catalogue, QWidget* parent = nullptr);
    ~FilmTable() override;

    FilmTableModel& films() const { return *m_films; }
    CoverThumbnails& covers() const { return *m_covers; }
    bool isSorted() const { return m_films->isSorted(); }

    /// The list file shown, the empty text for a list without one: the table takes the columns
    /// stored for it, or keeps those it shows when none are; relative Sources are in its folder.
    void setListFile(const QString& file);
    /// Disables commands that act in the collection's own order while the rows are sorted, their
    /// buttons saying why.
    void disableWhileSorted(const QList<QAction*>& commands, const QList<QWidget*>& buttons);
    /// Sorts by a column as a click on its header does: ascending, then descending, then in the
    /// collection's own order.
    void sortAsClicked(int column);
    /// Shows or hides a column, as the Columns menu does, and remembers it for the list file.
    void showColumn(const FilmColumn& column, bool shown);

protected:
    /// The actions added to the table, then "Sort By" and "Columns"; the header's menu offers the
    /// columns.
    void contextMenuEvent(QContextMenuEvent* event) override;
    /// Shift+F10 opens the context menu, as the Menu key does, on keyboards without one.
    void keyPressEvent(QKeyEvent* event) override;

signals:
    /// The rows were sorted by another column or order, or went back to the collection's order.
    void sortChanged();

private:
    struct ShownColumn
    {
        FilmColumn column;
        int width;
    };

    void setUpHeaders();
    void fillColumnsMenu();
    void fillSortMenu();
    QList<ShownColumn> shownColumns() const;
    /// Shows columns of these widths (the last one stretches), keeping the sort when its column
    /// stays.
    void showColumns(const QList<ShownColumn>& columns);
    int defaultWidth(const FilmColumn& column) const;
    /// The columns as the settings keep them, and back.
    QString columnsText() const;
    QList<ShownColumn> columnsOfText(const QString& text) const;
    void columnsChangedByUser();
    void writeColumns();
    /// The cover files of the rows on show.
    QSet<QString> shownCoverFiles() const;

    DesktopServices& m_desktop;
    CoverThumbnails* m_covers;
    FilmTableModel* m_films;
    QMenu* m_columnsMenu;
    QMenu* m_sortMenu;
    QString m_listFile;
    /// The columns changed by the user wait a moment, while a column is being resized, to be written.
    QTimer m_writeTimer;
    /// Set while the table changes its columns itself.
    bool m_applying = false;
    int m_textRowHeight = 0;
};

} // namespace reelkeep
