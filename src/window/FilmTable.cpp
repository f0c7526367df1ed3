// The film table on "Movies": its columns, remembered for each list file, its sorting by a
// column's header, and the covers' thumbnails.
#include "window/FilmTable.h"

#include "catalogue/Catalogue.h"
#include "storage/SettingsEntries.h"
#include "window/CoverThumbnails.h"

#include <QAction>
#include <QActionGroup>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QMenu>
#include <QStyledItemDelegate>

namespace reelkeep {

namespace {

/// The columns a list shows until the user picks others.
const QList<FilmColumn> FirstColumns{FilmColumn::ofField(Field::Title),
                                     FilmColumn::ofField(Field::Release),
                                     FilmColumn::ofField(Field::Type),
                                     FilmColumn::ofField(Field::Genre)};

const QString MovesNeedTheCollectionsOrder =
    QStringLiteral("UP and DOWN move films in the collection's own order, and the list is sorted by a "
                   "column: choose Sort By > Collection Order in the list's menu, or click the sorted "
                   "column's header until its arrow goes.");

/// How long a column's width rests before it is written.
constexpr int WriteDelayMs = 500;

/// Shows a film without a title as "(no title)" in a dimmed style, so that its row can be seen
/// and picked; the title itself stays empty.
class FilmRowDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        // A cover keeps its colours on the selected row, untinted by the highlight.
        if (option->features & QStyleOptionViewItem::HasDecoration)
            option->icon.addPixmap(index.data(Qt::DecorationRole).value<QPixmap>(), QIcon::Selected);
        if (index.column() != 0 || !option->text.isEmpty())
            return;
        option->features |= QStyleOptionViewItem::HasDisplay;
        option->text = NoTitleText;
        option->font.setItalic(true);
        option->palette.setBrush(QPalette::Text, option->palette.brush(QPalette::PlaceholderText));
    }
};

bool isLongText(const FilmColumn& column, const Catalogue& catalogue)
{
    if (column.shows == FilmColumn::Shows::ExtraField)
        return catalogue.extraFields().value(column.extra).kind == ExtraKind::LongText;
    return column.shows == FilmColumn::Shows::Field &&
           (column.field == Field::Plot || column.field == Field::Comment || column.field == Field::Cast);
}

} // namespace

FilmTable::FilmTable(DesktopServices& desktop, Catalogue& catalogue, QWidget* parent)
    : QTableView(parent)
    , m_desktop(desktop)
    , m_covers(new CoverThumbnails(this))
    , m_films(new FilmTableModel(catalogue, *m_covers, this))
    , m_columnsMenu(new QMenu(QStringLiteral("&Columns"), this))
    , m_sortMenu(new QMenu(QStringLiteral("&Sort By"), this))
{
    setObjectName(QStringLiteral("List1"));
    setAccessibleName(QStringLiteral("Films"));
    setModel(m_films);
    setItemDelegate(new FilmRowDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the table for the next control, as it left the list.
    setTabKeyNavigation(false);
    setWordWrap(false);
    setShowGrid(false);
    setAlternatingRowColors(true);
    m_columnsMenu->setObjectName(QStringLiteral("mnuColumns"));
    m_sortMenu->setObjectName(QStringLiteral("mnuSortBy"));
    connect(m_columnsMenu, &QMenu::aboutToShow, this, &FilmTable::fillColumnsMenu);
    connect(m_sortMenu, &QMenu::aboutToShow, this, &FilmTable::fillSortMenu);
    setUpHeaders();
    m_covers->setDevicePixelRatio(devicePixelRatioF());
    m_covers->setShownFiles([this] { return shownCoverFiles(); });
    m_writeTimer.setSingleShot(true);
    m_writeTimer.setInterval(WriteDelayMs);
    connect(&m_writeTimer, &QTimer::timeout, this, &FilmTable::writeColumns);
    connect(m_films, &FilmTableModel::columnRenamed, this, &FilmTable::columnsChangedByUser);
    connect(m_films, &FilmTableModel::sortChanged, this, [this] {
        horizontalHeader()->setSortIndicator(m_films->sortColumn(), m_films->sortOrder());
        // The film picked stays in sight in its new place.
        if (selectionModel()->hasSelection())
            scrollTo(selectionModel()->selectedIndexes().constFirst());
        emit sortChanged();
    });
    const QString stored = readTableColumns(m_desktop, m_listFile);
    showColumns(columnsOfText(stored));
    // Two rows at least, as tall as three lines of the list before it; the rest of the window's
    // height when it grows.
    setMinimumHeight(horizontalHeader()->sizeHint().height() + m_textRowHeight * 2 + 2 * frameWidth());
}

// Columns resized a moment ago are kept all the same.
FilmTable::~FilmTable()
{
    if (m_writeTimer.isActive())
        writeColumns();
}

void FilmTable::setUpHeaders()
{
    m_textRowHeight = fontMetrics().height() + 2;
    QHeaderView* rows = verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(m_textRowHeight);
    rows->setDefaultSectionSize(m_textRowHeight);
    QHeaderView* columns = horizontalHeader();
    columns->setSectionsClickable(true);
    columns->setSortIndicatorShown(true);
    // A third click on the sorted column's header goes back to the collection's own order.
    columns->setSortIndicatorClearable(true);
    columns->setSortIndicator(-1, Qt::AscendingOrder);
    columns->setHighlightSections(false);
    columns->setStretchLastSection(true);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    columns->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(columns, &QHeaderView::customContextMenuRequested, this, [this, columns](const QPoint& at) {
        m_columnsMenu->exec(columns->mapToGlobal(at));
    });
    connect(columns, &QHeaderView::sortIndicatorChanged, this, [this](int column, Qt::SortOrder order) {
        if (!m_applying)
            m_films->sort(column, order);
    });
    // The last column stretches to the table's edge: only the widths of the others are the user's.
    connect(columns, &QHeaderView::sectionResized, this, [this, columns](int column) {
        if (!m_applying && columns->visualIndex(column) < columns->count() - 1)
            columnsChangedByUser();
    });
}

void FilmTable::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    menu.addActions(actions());
    menu.addSeparator();
    menu.addMenu(m_sortMenu);
    menu.addMenu(m_columnsMenu);
    menu.exec(event->globalPos());
}

void FilmTable::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_F10 || event->modifiers() != Qt::ShiftModifier) {
        QTableView::keyPressEvent(event);
        return;
    }
    const QRect cell = visualRect(currentIndex());
    const QPoint at = cell.isValid() ? cell.center() : QPoint(0, 0);
    QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, viewport()->mapToGlobal(at));
    contextMenuEvent(&menu);
}

void FilmTable::disableWhileSorted(const QList<QAction*>& commands, const QList<QWidget*>& buttons)
{
    const auto follow = [this, commands, buttons] {
        for (QAction* command : commands)
            command->setEnabled(!isSorted());
        for (QWidget* button : buttons)
            button->setToolTip(isSorted() ? MovesNeedTheCollectionsOrder : QString());
    };
    follow();
    connect(this, &FilmTable::sortChanged, this, follow);
}

// ---- sorting ----

void FilmTable::sortAsClicked(int column)
{
    QHeaderView* header = horizontalHeader();
    if (header->sortIndicatorSection() != column)
        header->setSortIndicator(column, Qt::AscendingOrder);
    else if (header->sortIndicatorOrder() == Qt::AscendingOrder)
        header->setSortIndicator(column, Qt::DescendingOrder);
    else
        header->setSortIndicator(-1, Qt::AscendingOrder);
}

void FilmTable::fillSortMenu()
{
    m_sortMenu->clear();
    auto* group = new QActionGroup(m_sortMenu);
    QAction* own = m_sortMenu->addAction(QStringLiteral("Collection &Order"));
    own->setCheckable(true);
    own->setChecked(!isSorted());
    group->addAction(own);
    connect(own, &QAction::triggered, this, [this] {
        horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    });
    m_sortMenu->addSeparator();
    for (int column = 0; column < m_films->columnCount(); ++column) {
        QString text = m_films->caption(m_films->columns()[column]);
        const bool sorted = column == m_films->sortColumn();
        if (sorted)
            text += m_films->sortOrder() == Qt::AscendingOrder ? QStringLiteral(" (ascending)")
                                                               : QStringLiteral(" (descending)");
        QAction* action = m_sortMenu->addAction(text);
        action->setCheckable(true);
        action->setChecked(sorted);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, column] { sortAsClicked(column); });
    }
}

// ---- the columns ----

void FilmTable::fillColumnsMenu()
{
    m_columnsMenu->clear();
    const QList<FilmColumn>& shown = m_films->columns();
    for (const FilmColumn& column : m_films->offeredColumns()) {
        if (column == FilmColumn::ofField(Field::Title))
            continue; // always shown, first
        QAction* action = m_columnsMenu->addAction(m_films->caption(column));
        action->setCheckable(true);
        action->setChecked(shown.contains(column));
        connect(action, &QAction::toggled, this, [this, column](bool on) { showColumn(column, on); });
    }
}

void FilmTable::showColumn(const FilmColumn& column, bool shown)
{
    QList<ShownColumn> columns = shownColumns();
    const auto found = std::find_if(
        columns.begin(), columns.end(), [&column](const ShownColumn& kept) { return kept.column == column; });
    if (shown == (found != columns.end()))
        return;
    if (shown)
        columns.append({column, defaultWidth(column)});
    else
        columns.erase(found);
    showColumns(columns);
    columnsChangedByUser();
}

// The last column's width is the table's stretch, not the user's: it has none, so that it takes its
// own width back when another column comes after it.
QList<FilmTable::ShownColumn> FilmTable::shownColumns() const
{
    QList<ShownColumn> shown;
    const int last = m_films->columnCount() - 1;
    for (int i = 0; i <= last; ++i)
        shown.append({m_films->columns()[i], i < last ? columnWidth(i) : 0});
    return shown;
}

void FilmTable::showColumns(const QList<ShownColumn>& columns)
{
    const QModelIndexList picked = selectionModel()->selectedIndexes();
    const QPersistentModelIndex pickedRow = picked.isEmpty() ? QModelIndex() : picked.constFirst();
    m_applying = true;
    QList<FilmColumn> shown;
    for (const ShownColumn& column : columns)
        shown.append(column.column);
    m_films->setColumns(shown);
    bool covers = false;
    for (int i = 0; i < m_films->columnCount(); ++i) {
        const FilmColumn& column = m_films->columns()[i];
        const auto given = std::find_if(columns.begin(), columns.end(), [&column](const ShownColumn& one) {
            return one.column == column;
        });
        setColumnWidth(i, given != columns.end() && given->width > 0 ? given->width : defaultWidth(column));
        covers = covers || column.shows == FilmColumn::Shows::Cover;
    }
    // Rows as tall as a thumbnail while the covers show.
    verticalHeader()->setDefaultSectionSize(covers ? qMax(m_textRowHeight, CoverThumbnails::Box.height() + 4)
                                                   : m_textRowHeight);
    horizontalHeader()->setSortIndicator(m_films->sortColumn(), m_films->sortOrder());
    m_applying = false;
    // A row picked stays picked whole, its new columns too.
    if (pickedRow.isValid())
        selectionModel()->select(pickedRow, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

int FilmTable::defaultWidth(const FilmColumn& column) const
{
    const int character = fontMetrics().averageCharWidth();
    if (column.shows == FilmColumn::Shows::Cover)
        return CoverThumbnails::Box.width() + 2 * character;
    if (column == FilmColumn::ofField(Field::Title))
        return 28 * character;
    return (isLongText(column, m_films->catalogue()) ? 24 : 12) * character;
}

// ---- the columns kept for each list file ----
// A JSON array of the columns in their order, each {"field": NAME} for one of the seventeen,
// {"extra": NAME} for an extra field or {"cover": true}, with its "width" in pixels; the last
// column stretches, and has none.

QString FilmTable::columnsText() const
{
    QJsonArray columns;
    const QList<ShownColumn> shown = shownColumns();
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const FilmColumn& column = shown[i].column;
        QJsonObject object;
        if (column.shows == FilmColumn::Shows::Field)
            object.insert(QStringLiteral("field"), fieldName(column.field).toString());
        else if (column.shows == FilmColumn::Shows::ExtraField)
            object.insert(QStringLiteral("extra"), m_films->caption(column));
        else
            object.insert(QStringLiteral("cover"), true);
        if (i + 1 < shown.size())
            object.insert(QStringLiteral("width"), shown[i].width);
        columns.append(object);
    }
    return QString::fromUtf8(QJsonDocument(columns).toJson(QJsonDocument::Compact));
}

// Columns of fields the list lacks are passed over; the empty text gives the first columns.
QList<FilmTable::ShownColumn> FilmTable::columnsOfText(const QString& text) const
{
    QList<ShownColumn> columns;
    if (text.isEmpty()) {
        for (const FilmColumn& column : FirstColumns)
            columns.append({column, 0});
        return columns;
    }
    const ExtraFields& fields = m_films->catalogue().extraFields();
    for (const QJsonValue& value : QJsonDocument::fromJson(text.toUtf8()).array()) {
        const QJsonObject object = value.toObject();
        const int width = object.value(QStringLiteral("width")).toInt();
        if (const std::optional<Field> field = fieldNamed(object.value(QStringLiteral("field")).toString()))
            columns.append({FilmColumn::ofField(*field), width});
        else if (const qsizetype extra =
                     extraFieldIndex(fields, object.value(QStringLiteral("extra")).toString());
                 extra >= 0)
            columns.append({FilmColumn::ofExtraField(extra), width});
        else if (object.value(QStringLiteral("cover")).toBool())
            columns.append({FilmColumn::cover(), width});
    }
    return columns;
}

void FilmTable::setListFile(const QString& file)
{
    if (file == m_listFile)
        return;
    // What the user did to the columns of the list before is kept for that list.
    if (m_writeTimer.isActive()) {
        m_writeTimer.stop();
        writeColumns();
    }
    m_listFile = file;
    m_films->setListFolder(file.isEmpty() ? QString() : QFileInfo(file).absolutePath());
    if (const QString stored = readTableColumns(m_desktop, file); !stored.isEmpty())
        showColumns(columnsOfText(stored));
}

void FilmTable::columnsChangedByUser()
{
    m_writeTimer.start();
}

void FilmTable::writeColumns()
{
    writeTableColumns(m_desktop, m_listFile, columnsText());
}

// ---- the covers ----

QSet<QString> FilmTable::shownCoverFiles() const
{
    QSet<QString> files;
    const int first = rowAt(0);
    if (first < 0)
        return files;
    int last = rowAt(viewport()->height() - 1);
    if (last < 0)
        last = m_films->rowCount() - 1;
    for (int row = first; row <= last; ++row) {
        if (!isRowHidden(row))
            files.insert(m_films->coverFile(m_films->positionOfRow(row)));
    }
    return files;
}

} // namespace reelkeep
