// The film table on the offscreen platform: its order by a column's header, following the
// catalogue while sorted, its columns kept for each list file, and the covers' thumbnails.
#include "catalogue/Catalogue.h"
#include "support/FakeDesktop.h"
#include "window/CoverThumbnails.h"
#include "window/FilmTable.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace reelkeep;
using namespace Qt::StringLiterals;

using CatalogueChange = std::function<void(Catalogue&)>;
Q_DECLARE_METATYPE(CatalogueChange)

class TestFilmTable : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void headerClicksSortReverseAndRestore_data();
    void headerClicksSortReverseAndRestore();
    void aSortedTableFollowsTheCatalogue_data();
    void aSortedTableFollowsTheCatalogue();
    void columnsAreKeptForEachListFile();
    void theMenuOpensFromTheKeyboard();
    void thumbnailsAreReadForRowsShownOnly();

private:
    void openTable(const ExtraFields& fields, const QList<FilmRecord>& films);
    /// Each row's text in a column, top to bottom.
    QStringList rows(int column = 0) const;
    QStringList headers() const;
    void clickHeader(int column);
    /// Ticks or unticks a column in the Columns menu, as the user does.
    void tickColumn(const QString& caption, bool ticked);

    std::unique_ptr<FakeDesktop> m_desktop;
    std::unique_ptr<Catalogue> m_catalogue;
    std::unique_ptr<FilmTable> m_table;
};

void TestFilmTable::init()
{
    m_table.reset();
    m_desktop = std::make_unique<FakeDesktop>();
    m_catalogue = std::make_unique<Catalogue>();
}

void TestFilmTable::openTable(const ExtraFields& fields, const QList<FilmRecord>& films)
{
    m_catalogue->replaceAll(films, fields);
    m_table = std::make_unique<FilmTable>(*m_desktop, *m_catalogue);
    m_table->resize(600, 300);
    m_table->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_table.get()));
}

QStringList TestFilmTable::rows(int column) const
{
    QStringList texts;
    const QAbstractItemModel* model = m_table->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        if (!m_table->isRowHidden(row))
            texts.append(model->index(row, column).data().toString());
    }
    return texts;
}

QStringList TestFilmTable::headers() const
{
    QStringList texts;
    for (int column = 0; column < m_table->model()->columnCount(); ++column)
        texts.append(m_table->model()->headerData(column, Qt::Horizontal).toString());
    return texts;
}

void TestFilmTable::clickHeader(int column)
{
    QHeaderView* header = m_table->horizontalHeader();
    const QPoint middle(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, middle);
}

void TestFilmTable::tickColumn(const QString& caption, bool ticked)
{
    auto* menu = m_table->findChild<QMenu*>(u"mnuColumns"_s);
    emit menu->aboutToShow();
    for (QAction* action : menu->actions()) {
        if (action->text() == caption) {
            action->setChecked(ticked);
            return;
        }
    }
    QFAIL(qPrintable(u"no column "_s + caption));
}

static FilmRecord titled(const QString& title)
{
    FilmRecord film;
    film[Field::Title] = title;
    return film;
}

// Clicking a header sorts the rows by its column, clicking again reverses them, a third click gives
// the collection's own order back; the catalogue keeps its order throughout. Films A, B, C and D
// hold the values in the column given (a field's name, or an extra field's "name:kind").
void TestFilmTable::headerClicksSortReverseAndRestore_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("ascending"); // the films' titles, top to bottom
    QTest::addColumn<QString>("descending");
    QTest::newRow("titles in the collation's order, case aside, ties in the collection's order both ways")
        << u"title"_s << QStringList{u"b"_s, u"A"_s, QString(), u"a"_s} << u"|A|a|b"_s << u"b|A|a|"_s;
    QTest::newRow("a field past the first six as titles are, its lines as one")
        << u"plot"_s << QStringList{u"b\nline"_s, u"a"_s, u"C"_s, QString()} << u"D|B|A|C"_s << u"C|A|B|D"_s;
    QTest::newRow("numbers by value, a film without one first")
        << u"Runtime:number"_s << QStringList{u"10"_s, u"9.5"_s, QString(), u"-1"_s} << u"C|D|B|A"_s
        << u"A|B|D|C"_s;
    QTest::newRow("ratings by value, ties in the collection's order both ways")
        << u"Stars:rating"_s << QStringList{u"10"_s, u"2"_s, QString(), u"2"_s} << u"C|B|D|A"_s
        << u"A|B|D|C"_s;
    QTest::newRow("extra fields of text as titles are")
        << u"Shelf:text"_s << QStringList{u"b2"_s, u"B1"_s, QString(), u"a"_s} << u"C|D|B|A"_s
        << u"A|B|D|C"_s;
}

void TestFilmTable::headerClicksSortReverseAndRestore()
{
    QFETCH(QString, column);
    QFETCH(QStringList, values);
    QFETCH(QString, ascending);
    QFETCH(QString, descending);
    const QString name = column.section(u':', 0, 0);
    ExtraFields fields;
    if (column.contains(u':'))
        fields.append({name, *kindOfKey(column.section(u':', 1))});
    QList<FilmRecord> films;
    for (qsizetype i = 0; i < values.size(); ++i) {
        FilmRecord film = titled(QString(QChar(char16_t(u'A' + i))));
        if (fields.isEmpty())
            film[*fieldNamed(name)] = values[i];
        else
            film.extra = {values[i]};
        films.append(film);
    }
    openTable(fields, films);
    const QString caption = fields.isEmpty() ? fieldCaption(*fieldNamed(name)).toString() : name;
    if (caption != u"Title"_s)
        tickColumn(caption, true);
    const int shown = int(headers().indexOf(caption));
    const QStringList catalogueOrder = rows();
    // UP acts in the collection's own order only: disabled while sorted, its button saying why.
    QAction up;
    QWidget upButton;
    m_table->disableWhileSorted({&up}, {&upButton});
    clickHeader(shown);
    QCOMPARE(rows().join(u'|'), ascending);
    QVERIFY(m_table->isSorted());
    QVERIFY(!up.isEnabled() && upButton.toolTip().contains(u"sorted"_s));
    clickHeader(shown);
    QCOMPARE(rows().join(u'|'), descending);
    clickHeader(shown);
    QCOMPARE(rows(), catalogueOrder);
    QVERIFY(!m_table->isSorted());
    QVERIFY(up.isEnabled() && upButton.toolTip().isEmpty());
    QCOMPARE(m_catalogue->at(0).title(), fields.isEmpty() && name == u"title"_s ? values[0] : u"A"_s);
}

// Sorted by title, the table puts films that come, or change, in their place, and keeps the film
// selected on its row wherever it goes; the sorted column gone, it shows the collection's order.
void TestFilmTable::aSortedTableFollowsTheCatalogue_data()
{
    QTest::addColumn<CatalogueChange>("change");
    QTest::addColumn<QString>("rowsAfter"); // of films C, A, D (a rating of 3, 1, 2), sorted by title
    QTest::addColumn<bool>("sortedAfter");
    QTest::newRow("a film added goes to its place")
        << CatalogueChange([](Catalogue& films) { films.append(titled(u"B"_s)); }) << u"A|B|C|D"_s << true;
    QTest::newRow("films put in between go to their places") << CatalogueChange([](Catalogue& films) {
        films.insert(1, {titled(u"E"_s), titled(u"B"_s)});
    }) << u"A|B|C|D|E"_s << true;
    QTest::newRow("a film retitled moves")
        << CatalogueChange([](Catalogue& films) { films.replace(1, titled(u"Z"_s)); }) << u"C|D|Z"_s << true;
    QTest::newRow("films removed leave the others in order")
        << CatalogueChange([](Catalogue& films) { films.remove(0, 2); }) << u"D"_s << true;
    QTest::newRow("a list loaded is sorted") << CatalogueChange([](Catalogue& films) {
        films.replaceAll({titled(u"Y"_s), titled(u"E"_s)});
    }) << u"E|Y"_s << true;
    QTest::newRow("films exchanged stay sorted")
        << CatalogueChange([](Catalogue& films) { films.exchangeWithNext(0); }) << u"A|C|D"_s << true;
    QTest::newRow("the field sorted by gone, the collection's order")
        << CatalogueChange([](Catalogue& films) { films.setExtraFields({}); }) << u"C|A|D"_s << false;
}

void TestFilmTable::aSortedTableFollowsTheCatalogue()
{
    QFETCH(CatalogueChange, change);
    QFETCH(QString, rowsAfter);
    QFETCH(bool, sortedAfter);
    QList<FilmRecord> films{titled(u"C"_s), titled(u"A"_s), titled(u"D"_s)};
    for (int i = 0; i < films.size(); ++i)
        films[i].extra = {QString::number(QList{3, 1, 2}[i])};
    openTable({{u"Stars"_s, ExtraKind::Rating}}, films);
    tickColumn(u"Stars"_s, true);
    // Sorted by the rating, then by title: the sort is by the last column clicked.
    clickHeader(int(headers().indexOf(u"Stars"_s)));
    const bool byTitle = sortedAfter;
    if (byTitle)
        clickHeader(0);
    QCOMPARE(rows().join(u'|'), byTitle ? u"A|C|D"_s : u"A|D|C"_s);
    m_table->selectRow(int(rows().indexOf(u"D"_s)));
    change(*m_catalogue);
    QCOMPARE(rows().join(u'|'), rowsAfter);
    QCOMPARE(m_table->isSorted(), sortedAfter);
    // The film D stays selected, wherever it went.
    const QModelIndexList selected = m_table->selectionModel()->selectedRows();
    QCOMPARE(selected.isEmpty() ? QString() : selected.constFirst().data().toString(),
             rowsAfter.contains(u'D') ? u"D"_s : QString());
}

// The columns and their widths are kept for each list file; a file opened for the first time keeps
// the columns shown; an extra field's column follows its field's new name.
void TestFilmTable::columnsAreKeptForEachListFile()
{
    openTable({{u"Rating"_s, ExtraKind::Rating}}, {titled(u"A"_s)});
    QCOMPARE(headers(), (QStringList{u"Title"_s, u"Release"_s, u"Type"_s, u"Genre"_s}));
    m_table->setListFile(u"/films/a.rkf"_s);
    tickColumn(u"Type"_s, false);
    tickColumn(u"Rating"_s, true);
    // Genre, no longer last, gives the stretch back and takes the width of a short text again.
    QCOMPARE(m_table->columnWidth(2), m_table->columnWidth(1));
    m_table->horizontalHeader()->resizeSection(1, 111);
    m_table->setListFile(u"/films/b.rkf"_s);
    QCOMPARE(headers(), (QStringList{u"Title"_s, u"Release"_s, u"Genre"_s, u"Rating"_s}));
    tickColumn(u"Release"_s, false);
    m_catalogue->changeExtraFields(
        [](ExtraFields& fields, QList<FilmRecord>&) { fields[0].name = u"Stars"_s; }, {0});
    QCOMPARE(headers(), (QStringList{u"Title"_s, u"Genre"_s, u"Stars"_s}));
    m_table->setListFile(u"/films/a.rkf"_s);
    QCOMPARE(headers(), (QStringList{u"Title"_s, u"Release"_s, u"Genre"_s})); // a's Rating is no more
    QCOMPARE(m_table->columnWidth(1), 111);
    // Another window opening b finds its columns, the renamed field's among them.
    m_table = std::make_unique<FilmTable>(*m_desktop, *m_catalogue);
    m_table->setListFile(u"/films/b.rkf"_s);
    QCOMPARE(headers(), (QStringList{u"Title"_s, u"Genre"_s, u"Stars"_s}));
    QCOMPARE(m_desktop->settings.keys().filter(u"FilmTable/"_s).size(), 2);
}

// Shift+F10 opens the list's menu from the keyboard: the actions given to the table, then Sort By
// and Columns.
void TestFilmTable::theMenuOpensFromTheKeyboard()
{
    openTable({}, {titled(u"A"_s)});
    QAction undo(u"Undo"_s);
    m_table->addAction(&undo);
    QStringList offered;
    QTimer::singleShot(0, [&offered] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        for (QAction* action : menu ? menu->actions() : QList<QAction*>())
            offered.append(action->text());
        if (menu)
            menu->close();
    });
    QTest::keyClick(m_table.get(), Qt::Key_F10, Qt::ShiftModifier);
    QCOMPARE(offered, (QStringList{u"Undo"_s, QString(), u"&Sort By"_s, u"&Columns"_s}));
}

// Covers are read off the window's thread for the rows on show only, a placeholder showing
// meanwhile; a Source that names no picture shows none.
void TestFilmTable::thumbnailsAreReadForRowsShownOnly()
{
    QTemporaryDir folder;
    QList<FilmRecord> films;
    for (int i = 0; i < 200; ++i) {
        QImage image(60, 90, QImage::Format_RGB32);
        image.fill(QColor::fromHsv(i, 200, 200));
        const QString path = folder.filePath(u"%1.png"_s.arg(i));
        QVERIFY(image.save(path));
        FilmRecord film = titled(QString::number(i));
        film[Field::ImgSrc] = i == 1 ? u"notes.txt"_s : QFileInfo(path).fileName();
        films.append(film);
    }
    openTable({}, films);
    m_table->setListFile(folder.filePath(u"list.rkf"_s));
    tickColumn(u"Cover"_s, true);
    const int cover = int(headers().indexOf(u"Cover"_s));
    const QModelIndex first = m_table->model()->index(0, cover);
    QVERIFY(!first.data(Qt::DecorationRole).value<QPixmap>().isNull()); // the placeholder at once
    const auto readThumbnail = [&first] {
        const QPixmap shown = first.data(Qt::DecorationRole).value<QPixmap>();
        return shown.toImage().pixel(shown.width() / 2, shown.height() / 2) ==
               QColor::fromHsv(0, 200, 200).rgb();
    };
    QTRY_VERIFY(readThumbnail());
    const int rowsShown = m_table->rowAt(m_table->viewport()->height() - 1) + 1;
    QTRY_VERIFY(!m_table->model()->index(1, cover).data(Qt::DecorationRole).isValid()); // notes.txt
    QVERIFY(m_table->covers().readsStarted() <= rowsShown + CoverThumbnails::ReadsAtOnce);
    m_table->scrollToBottom();
    const QModelIndex last = m_table->model()->index(199, cover);
    QTRY_VERIFY(last.data(Qt::DecorationRole).value<QPixmap>().toImage().pixel(10, 20) ==
                QColor::fromHsv(199, 200, 200).rgb());
    QVERIFY(m_table->covers().readsStarted() < 3 * rowsShown);
}

QTEST_MAIN(TestFilmTable)
#include "TestFilmTable.moc"
