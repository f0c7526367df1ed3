// The main window on the offscreen platform, driven through a scripted desktop.
#include "about/Product.h"
#include "about/SystemInfo.h"
#include "storage/SheetFile.h"
#include "support/FakeDesktop.h"
#include "support/ListFiles.h"
#include "window/FilmTable.h"
#include "window/Form1.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDialog>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <memory>
#include <new>
#include <utility>

using namespace reelkeep;
using namespace reelkeep::test;
using namespace Qt::StringLiterals;

using Settings = QMap<QString, QString>;

class TestForm1 : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void historiesLoadAndGrow_data();
    void historiesLoadAndGrow();
    void startUpLoads_data();
    void startUpLoads();

    void updateAddsAndNewEmpties();
    void commandsActOnCataloguePositions_data();
    void commandsActOnCataloguePositions();
    void searchFindsEveryWord_data();
    void searchFindsEveryWord();
    void extraFieldsHaveEditorsOfTheirKind_data();
    void extraFieldsHaveEditorsOfTheirKind();
    void fieldsDialogChangesAreStepsOfTheirOwn_data();
    void fieldsDialogChangesAreStepsOfTheirOwn();
    void typingCompletesFromTheCatalogue();
    void posterShowsLocalPictures_data();
    void posterShowsLocalPictures();
    void coversAreKeptWithTheList_data();
    void coversAreKeptWithTheList();

    void aSecondCopyIsAskedFor_data();
    void aSecondCopyIsAskedFor();
    void modifiedCatalogueAsksFirst_data();
    void modifiedCatalogueAsksFirst();
    void typedPageTextsMarkTheCatalogue();
    void pendingEditsAreAskedAbout_data();
    void pendingEditsAreAskedAbout();
    void undoAndRedoEveryChange_data();
    void undoAndRedoEveryChange();
    void theHistoryKeepsWithinItsBudget_data();
    void theHistoryKeepsWithinItsBudget();

    void aCsvListIsSavedByItsOwnAccount_data();
    void aCsvListIsSavedByItsOwnAccount();
    void saveFormFollowsTheName_data();
    void saveFormFollowsTheName();
    void aDescriptionKeepsItsLineBreaks();
    void aSaveKeepsThePreviousVersionAsOptionsSay_data();
    void aSaveKeepsThePreviousVersionAsOptionsSay();
    void dialogsProposeTheCurrentFile();
    void replaceFileAnswers_data();
    void replaceFileAnswers();
    void failedLoadTellsAndChangesNothing();
    void recentListsNewestFirst();
    void importAppendsOneStep_data();
    void importAppendsOneStep();
    void aboutAndOptionsOpenModally_data();
    void aboutAndOptionsOpenModally();
    void statisticsFollowTheCatalogue();
    void controlsAreNamedAndTheListTakesTheGrowth();
    void labelsAndLinesAreNamedByWhatTheyShow();

    void makePageReadsTheWindow();
    void makePageRefusesAndKeepsTheFile_data();
    void makePageRefusesAndKeepsTheFile();
    void makePageErrorTellsWhereAndKeepsThePartialPage();
    void stoppingAPageKeepsThePartialPageWithoutAnError_data();
    void stoppingAPageKeepsThePartialPageWithoutAnError();
    void aCommandOutOfMemoryEndsAlone_data();
    void aCommandOutOfMemoryEndsAlone();

private:
    void openWindow();
    template <typename T> T* child(const char* name);
    /// The titles in the list, or only those the search shows.
    QStringList listLines(bool shownOnly = false);
    void addFilm(const QString& title, const QString& type = {}, const QString& genre = {});
    void clickLine(int position);
    /// Drags a file onto the Image frame and drops it there.
    void dropOnImageFrame(const QString& file);
    void select(int position);
    void click(const char* button);
    QString writeList(const QString& name,
                      const QStringList& titles,
                      const QString& pageTitle = {},
                      std::optional<ListForm> form = {});
    /// Opens the window on the native list two.rkf holding A, B and C.
    void openOnThreeFilms();
    /// Opens the window on A, B and C in a list with extra fields, B holding values in them.
    void openOnExtraFields(const ExtraFields& fields, const QStringList& valuesOfB);
    /// The editor of the extra field at a position.
    QWidget* extraEditor(int position) { return child<QWidget>(qPrintable(u"mExtra%1"_s.arg(position))); }
    /// Opens the window on four films with a cast each, and searches them.
    void openOnFourFilms(const QString& search);
    QString shownTitle() const { return m_window->windowHandle()->title(); }
    void writeTemplate(const QString& name, const QByteArray& bytes);
    void writeLongRunningTemplates();

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<FakeDesktop> m_desktop;
    std::unique_ptr<Form1> m_window;
};

// ---- helpers ----

void TestForm1::init()
{
    m_window.reset();
    m_folder = std::make_unique<QTemporaryDir>();
    m_desktop = std::make_unique<FakeDesktop>();
}

void TestForm1::openWindow()
{
    m_window = std::make_unique<Form1>(*m_desktop, systemRegistry());
    m_window->show();
    // The keyboard's shortcuts work in the active window only.
    m_window->activateWindow();
    if (!QTest::qWaitForWindowActive(m_window.get()))
        qWarning("the window did not become active");
}

template <typename T> T* TestForm1::child(const char* name)
{
    auto* found = m_window->findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

QStringList TestForm1::listLines(bool shownOnly)
{
    QStringList lines;
    auto* list = child<QTableView>("List1");
    for (int row = 0; row < list->model()->rowCount(); ++row) {
        if (!shownOnly || !list->isRowHidden(row))
            lines.append(list->model()->index(row, 0).data().toString());
    }
    return lines;
}

void TestForm1::click(const char* button)
{
    QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
}

void TestForm1::addFilm(const QString& title, const QString& type, const QString& genre)
{
    child<QLineEdit>("mTitle")->setText(title);
    child<QComboBox>("mType")->setEditText(type);
    child<QComboBox>("mGenre")->setEditText(genre);
    click("Command5");
}

void TestForm1::clickLine(int position)
{
    auto* list = child<QTableView>("List1");
    const QModelIndex line = list->model()->index(position, 0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(line).center());
}

void TestForm1::select(int position)
{
    clickLine(position);
    QCOMPARE(m_window->selectedPosition(), position);
}

QString TestForm1::writeList(const QString& name,
                             const QStringList& titles,
                             const QString& pageTitle,
                             std::optional<ListForm> form)
{
    ListDocument document{pageTitle, QString(), {}};
    for (const QString& title : titles)
        document.films.append(filmOf({title}));
    const QString path = m_folder->filePath(name);
    if (!saveListFile(path, form.value_or(formFromFileName(path).value_or(ListForm::Native)), document))
        qFatal("could not write the fixture %s", qPrintable(path));
    return path;
}

void TestForm1::openOnThreeFilms()
{
    m_desktop->commandLineText = writeList(u"two.rkf"_s, {u"A"_s, u"B"_s, u"C"_s});
    openWindow();
}

void TestForm1::openOnExtraFields(const ExtraFields& fields, const QStringList& valuesOfB)
{
    ListDocument document{u"Page"_s, QString(), {filmOf({u"A"_s}), filmOf({u"B"_s}), filmOf({u"C"_s})}};
    document.fields = fields;
    document.films[1].extra = valuesOfB;
    m_desktop->commandLineText = m_folder->filePath(u"extra.rkf"_s);
    QVERIFY(saveListFile(m_desktop->commandLineText, ListForm::Native, document));
    openWindow();
}

// Runs act on the modal dialog the next command opens, once its event loop has started, then
// closes the dialog.
template <typename Act> static void onModal(Act act)
{
    QTimer::singleShot(0, [act] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            act(modal);
            modal->close();
        }
    });
}

static QStringList comboItems(QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    return items;
}

// ---- start-up ----

// The type and genre boxes offer the stored histories, blank entries left out; an Update puts the
// typed text first, in place of an entry that differs only in case. Closing stores all eight entries.
void TestForm1::historiesLoadAndGrow_data()
{
    QTest::addColumn<Settings>("stored");
    QTest::addColumn<QString>("type"); // of a film added, none when empty
    QTest::addColumn<QStringList>("types");
    QTest::addColumn<QStringList>("genres");
    QTest::newRow("blank entries are left out, blanks around a text kept")
        << Settings{{u"TypeHistory/0"_s, u" Drama "_s},
                    {u"TypeHistory/1"_s, u"   "_s},
                    {u"TypeHistory/2"_s, u"Comedy"_s},
                    {u"GenreHistory/7"_s, u"Western"_s}}
        << QString() << QStringList{u" Drama "_s, u"Comedy"_s} << QStringList{u"Western"_s};
    QTest::newRow("an Update grows both histories")
        << Settings{{u"TypeHistory/0"_s, u"Drama"_s}, {u"TypeHistory/1"_s, u"Comedy"_s}} << u"drama"_s
        << QStringList{u"drama"_s, u"Comedy"_s} << QStringList{u"Noir"_s};
}

void TestForm1::historiesLoadAndGrow()
{
    QFETCH(Settings, stored);
    QFETCH(QString, type);
    QFETCH(QStringList, types);
    QFETCH(QStringList, genres);
    m_desktop->settings = stored;
    openWindow();
    QCOMPARE(child<QComboBox>("mType")->currentText(), QString());
    if (!type.isEmpty())
        addFilm(u"A"_s, type, u"Noir"_s);
    QCOMPARE(comboItems(child<QComboBox>("mType")), types);
    QCOMPARE(comboItems(child<QComboBox>("mGenre")), genres);
    m_desktop->queueAnswer(Answer::No);
    QVERIFY(m_window->close());
    QCOMPARE(m_desktop->questions().size(), type.isEmpty() ? 0 : 1);
    for (const auto& [section, shown] :
         {std::pair(u"TypeHistory"_s, types), std::pair(u"GenreHistory"_s, genres)}) {
        for (int i = 0; i < 8; ++i)
            QCOMPARE(m_desktop->settings.value(section + u'/' + QString::number(i), u"unset"_s),
                     shown.value(i));
    }
}

// Lists the start-up may load, in the folder %1: auto.rkf (A and B, page "Auto", the AutoLoad
// file), arg.rkf (Arg, page "Arg"), "my films.csv" and a copy named "my films.txt" (Alien), bad.rkf
// (not a list), films.csv (a native list of Alien, page "Page") and films.rkf (a comma-separated one).
void TestForm1::startUpLoads_data()
{
    QTest::addColumn<QString>("autoLoad"); // the AutoLoad setting, empty for none
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("pageTitle");
    QTest::addColumn<QString>("shown"); // the window's title
    QTest::addColumn<int>("questions");
    const QStringList alien{u"Alien"_s};
    const auto on = [](const char* name) { return QString::fromUtf8(name) + u" \u2014 Reelkeep"_s; };
    const QString myFilms = on("my films.csv");
    QTest::newRow("AutoLoad exactly True loads")
        << u"True"_s << QString() << QStringList{u"A"_s, u"B"_s} << u"Auto"_s << on("auto.rkf") << 0;
    QTest::newRow("AutoLoad in lower case loads nothing")
        << u"true"_s << QString() << QStringList() << u"My Movie"_s << u"Reelkeep"_s << 0;
    QTest::newRow("the command line wins over AutoLoad")
        << u"True"_s << u"%1/arg.rkf"_s << QStringList{u"Arg"_s} << u"Arg"_s << on("arg.rkf") << 0;
    QTest::newRow("unquoted path with spaces taken whole")
        << QString() << u"%1/my films.csv"_s << alien << u"My Movie"_s << myFilms << 0;
    QTest::newRow("text after the closing quote dropped")
        << QString() << u"\"%1/my films.csv\" --x"_s << alien << u"My Movie"_s << myFilms << 0;
    QTest::newRow("text before the opening quote dropped")
        << QString() << u"-x \"%1/my films.csv"_s << alien << u"My Movie"_s << myFilms << 0;
    QTest::newRow("missing file stays silent")
        << QString() << u"%1/none.csv"_s << QStringList() << u"My Movie"_s << u"Reelkeep"_s << 0;
    QTest::newRow("other extension is not read")
        << QString() << u"%1/my films.txt"_s << QStringList() << u"My Movie"_s << u"Reelkeep"_s << 0;
    QTest::newRow("a list file that fails to load is told")
        << QString() << u"%1/bad.rkf"_s << QStringList() << u"My Movie"_s << u"Reelkeep"_s << 1;
    QTest::newRow("a native list named csv is read as native")
        << QString() << u"%1/films.csv"_s << alien << u"Page"_s << on("films.csv") << 0;
    QTest::newRow("a comma-separated list named rkf is read as comma-separated")
        << QString() << u"%1/films.rkf"_s << alien << u"My Movie"_s << on("films.rkf") << 0;
}

void TestForm1::startUpLoads()
{
    QFETCH(QString, autoLoad);
    QFETCH(QString, commandLine);
    QFETCH(QStringList, lines);
    QFETCH(QString, pageTitle);
    QFETCH(QString, shown);
    QFETCH(int, questions);
    const QString path = writeList(u"auto.rkf"_s, {u"A"_s, u"B"_s}, u"Auto"_s);
    writeList(u"arg.rkf"_s, {u"Arg"_s}, u"Arg"_s);
    writeList(u"my films.csv"_s, {u"Alien"_s});
    QFile::copy(m_folder->filePath(u"my films.csv"_s), m_folder->filePath(u"my films.txt"_s));
    writeFileBytes(m_folder->filePath(u"bad.rkf"_s), "not a list");
    writeList(u"films.csv"_s, {u"Alien"_s}, u"Page"_s, ListForm::Native);
    writeList(u"films.rkf"_s, {u"Alien"_s}, u"Page"_s, ListForm::CommaSeparated);
    if (!autoLoad.isEmpty()) {
        m_desktop->settings.insert(u"Genral/AutoLoad File"_s, autoLoad);
        m_desktop->settings.insert(u"Genral/AutoLoad FileName"_s, path);
    }
    m_desktop->commandLineText = QString(commandLine).replace(u"%1"_s, m_folder->path());
    openWindow();
    QCOMPARE(listLines(), lines);
    QCOMPARE(child<QLineEdit>("gTitle")->text(), pageTitle);
    QCOMPARE(shownTitle(), shown);
    QVERIFY(!m_window->catalogue().isModified());
    QCOMPARE(m_desktop->questions().size(), questions);
}

// ---- the catalogue commands ----

void TestForm1::updateAddsAndNewEmpties()
{
    openWindow();
    child<QLineEdit>("mRelease")->setText(u"1979"_s);
    child<QPlainTextEdit>("mPlot")->setPlainText(u"A crew meets a stowaway."_s);
    addFilm(u"Alien"_s, u"DVD"_s, u"Horror"_s);
    addFilm(QString());
    QCOMPARE(listLines(), (QStringList{u"Alien"_s, QString()}));
    QCOMPARE(m_window->catalogue().at(0)[Field::Release], u"1979"_s);
    QCOMPARE(m_window->catalogue().at(0)[Field::Plot], u"A crew meets a stowaway."_s);
    QCOMPARE(m_window->catalogue().at(1), FilmRecord());
    QCOMPARE(m_window->selectedPosition(), -1);
    QCOMPARE(child<QLineEdit>("mRelease")->text(), QString());
    QCOMPARE(child<QComboBox>("mType")->currentText(), QString());
    QVERIFY(m_window->catalogue().isModified());
    // A film shown and stored again keeps its line breaks, of Windows and others, and its extra
    // values.
    FilmRecord film;
    film[Field::Title] = u"Windows lines"_s;
    film[Field::Plot] = u"one\r\ntwo"_s;
    film[Field::Cast] = u"a\nb"_s;
    film.extra = {u"Top shelf"_s};
    m_window->catalogue().setExtraFields({{u"Shelf"_s, ExtraKind::Text}});
    m_window->catalogue().replace(1, film);
    select(1);
    film[Field::Title] = u"Windows lines, retitled"_s;
    child<QLineEdit>("mTitle")->setText(film.title());
    click("Command5");
    QCOMPARE(m_window->catalogue().at(1), film);
    QVERIFY(!m_window->hasPendingEdits());
    // A full list refuses one more film, keeps it typed and is left with nothing to save.
    m_window->catalogue().replaceAll(QList<FilmRecord>(Catalogue::MaxEntries));
    m_window->catalogue().setModified(false);
    addFilm(u"One too many"_s);
    QVERIFY(!m_window->catalogue().isModified());
    QCOMPARE(m_window->catalogue().count(), Catalogue::MaxEntries);
    QCOMPARE(m_desktop->questions().size(), 1);
    QVERIFY(m_desktop->questions().constFirst().contains(u"list is full"_s));
    QCOMPARE(child<QLineEdit>("mTitle")->text(), u"One too many"_s);
}

static const QStringList FourFilms{u"Alien"_s, u"Brazil"_s, u"Am\u00e9lie"_s, u"Heat"_s};

void TestForm1::openOnFourFilms(const QString& search)
{
    openWindow();
    const QStringList casts{u"Sigourney Weaver"_s, u"Jonathan Pryce"_s, u"Audrey Tautou"_s, u"Al Pacino"_s};
    m_window->catalogue().setExtraFields({{u"Director"_s, ExtraKind::Text},
                                          {u"Notes"_s, ExtraKind::LongText},
                                          {u"Runtime"_s, ExtraKind::Number}});
    for (int i = 0; i < FourFilms.size(); ++i) {
        FilmRecord film;
        film[Field::Title] = FourFilms.at(i);
        film[Field::Cast] = casts.at(i);
        if (i == 0)
            film.extra = {u"Ridley Scott"_s, u"Seen twice\nin 1979"_s, u"117"_s};
        m_window->catalogue().append(film);
    }
    QTest::keyClick(m_window.get(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), search);
}

void TestForm1::searchFindsEveryWord_data()
{
    QTest::addColumn<QString>("search");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("count");
    QTest::newRow("no search shows all") << QString() << FourFilms << u"4 films"_s;
    QTest::newRow("case and accents ignored")
        << u"AMELIE"_s << QStringList{u"Am\u00e9lie"_s} << u"1 of 4 films"_s;
    QTest::newRow("title or cast") << u"al"_s << QStringList{u"Alien"_s, u"Heat"_s} << u"2 of 4 films"_s;
    QTest::newRow("every word") << u"pacino  al"_s << QStringList{u"Heat"_s} << u"1 of 4 films"_s;
    QTest::newRow("words in two films") << u"pacino brazil"_s << QStringList() << u"0 of 4 films"_s;
    QTest::newRow("extra fields of text") << u"scott twice"_s << QStringList{u"Alien"_s} << u"1 of 4 films"_s;
}

void TestForm1::searchFindsEveryWord()
{
    QFETCH(QString, search);
    QFETCH(QStringList, shown);
    QFETCH(QString, count);
    openOnFourFilms(search);
    QCOMPARE(listLines().size(), 4); // the model keeps every film
    QCOMPARE(listLines(true), shown);
    QCOMPARE(child<QLabel>("lblCount")->text(), count);
    // Sorted by title the other way, the same films show, in that order.
    child<FilmTable>("List1")->sortAsClicked(0);
    child<FilmTable>("List1")->sortAsClicked(0);
    std::sort(shown.begin(), shown.end(), [](const QString& a, const QString& b) { return a > b; });
    QCOMPARE(listLines(true), shown);
    QCOMPARE(child<QLabel>("lblCount")->text(), count);
    // Esc in the field shows every film again.
    QTest::keyClick(child<QLineEdit>("txtSearch"), Qt::Key_Escape);
    QCOMPARE(listLines(true).size(), 4);
}

void TestForm1::commandsActOnCataloguePositions_data()
{
    QTest::addColumn<QString>("search");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("typedTitle");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("selectedAfter");
    const QString a = u"Alien"_s, b = u"Brazil"_s, c = u"Am\u00e9lie"_s, d = u"Heat"_s;
    QTest::newRow("UP at the top does nothing")
        << QString() << 0 << u"Command1"_s << QString() << FourFilms << 0;
    QTest::newRow("DOWN at the bottom does nothing")
        << QString() << 3 << u"Command2"_s << QString() << FourFilms << 3;
    QTest::newRow("Remove without a selection does nothing")
        << QString() << -1 << u"Command4"_s << QString() << FourFilms << -1;
    QTest::newRow("UP past a hidden film")
        << u"al"_s << 3 << u"Command1"_s << QString() << QStringList{a, b, d, c} << 2;
    QTest::newRow("DOWN past a hidden film")
        << u"al"_s << 0 << u"Command2"_s << QString() << QStringList{b, a, c, d} << 1;
    QTest::newRow("Remove while searching")
        << u"al"_s << 3 << u"Command4"_s << QString() << QStringList{a, b, c} << -1;
    QTest::newRow("Update while searching")
        << u"al"_s << 3 << u"Command5"_s << u"Heat 2"_s << QStringList{a, b, c, u"Heat 2"_s} << -1;
}

void TestForm1::commandsActOnCataloguePositions()
{
    QFETCH(QString, search);
    QFETCH(int, selected);
    QFETCH(QString, button);
    QFETCH(QString, typedTitle);
    QFETCH(QStringList, lines);
    QFETCH(int, selectedAfter);
    openOnFourFilms(search);
    m_window->catalogue().setModified(false);
    if (selected >= 0)
        select(selected);
    if (!typedTitle.isEmpty())
        child<QLineEdit>("mTitle")->setText(typedTitle);
    click(button.toLatin1().constData());
    QCOMPARE(listLines(), lines);
    QCOMPARE(m_window->selectedPosition(), selectedAfter);
    QCOMPARE(m_window->catalogue().isModified(), lines != FourFilms);
    if (button == u"Command4"_s && selected >= 0) {
        QCOMPARE(child<QLineEdit>("mTitle")->text(), QString());
        QCOMPARE(m_window->focusWidget(), child<QLineEdit>("mTitle"));
    }
    // The search stays as typed, over the changed catalogue.
    QCOMPARE(child<QLineEdit>("txtSearch")->text(), search);
}

// Each extra field has an editor of its kind, named by the field and the buddy of a caption; a film
// shown is no pending edit, and Update stores what the editor holds as the kind's canonical text,
// or tells why it cannot.
void TestForm1::extraFieldsHaveEditorsOfTheirKind_data()
{
    QTest::addColumn<ExtraKind>("kind");
    QTest::addColumn<QString>("stored");      // B's value
    QTest::addColumn<QStringList>("typed");   // in place of it, in a box of text
    QTest::addColumn<QList<int>>("keys");     // pressed in the editor, with their modifiers
    QTest::addColumn<QString>("storedAfter"); // by Update, or what Update tells
    const QStringList untouched;
    const QList<int> none;
    QTest::newRow("text as typed") << ExtraKind::Text << u"Top shelf"_s << QStringList{u"Lent to Ann"_s}
                                   << none << u"Lent to Ann"_s;
    QTest::newRow("long text keeps its CR LF line ends")
        << ExtraKind::LongText << u"one\r\ntwo"_s << untouched << none << u"one\r\ntwo"_s;
    QTest::newRow("a number past any spin box, in its shortest text")
        << ExtraKind::Number << u"117"_s << QStringList{u"2.5e21"_s} << none << u"2.5e+21"_s;
    QTest::newRow("a text that is no number is refused")
        << ExtraKind::Number << u"117"_s << QStringList{u"1e"_s} << none
        << u"The film was not stored: Extra holds \u201C1e\u201D, which is not a number."_s;
    QTest::newRow("Right gives a rating one point more")
        << ExtraKind::Rating << u"7"_s << untouched << QList<int>{Qt::Key_Right} << u"8"_s;
    QTest::newRow("Delete takes the rating away")
        << ExtraKind::Rating << u"7"_s << untouched << QList<int>{Qt::Key_Delete} << QString();
    QTest::newRow("Space goes from no value to yes")
        << ExtraKind::YesNo << QString() << untouched << QList<int>{Qt::Key_Space} << u"yes"_s;
    QTest::newRow("Space goes from no to no value")
        << ExtraKind::YesNo << u"no"_s << untouched << QList<int>{Qt::Key_Space} << QString();
    QTest::newRow("a date typed day first")
        << ExtraKind::Date << u"2024-12-31"_s << QStringList{u"1.2.2024"_s} << none << u"2024-02-01"_s;
    QTest::newRow("Alt+Down picks a date from a calendar, not the next film")
        << ExtraKind::Date << u"2024-12-31"_s << untouched
        << QList<int>{(Qt::ALT | Qt::Key_Down).toCombined()} << u"2025-01-01"_s;
    QTest::newRow("a date emptied is none")
        << ExtraKind::Date << u"2024-12-31"_s << QStringList{QString()} << none << QString();
}

void TestForm1::extraFieldsHaveEditorsOfTheirKind()
{
    QFETCH(ExtraKind, kind);
    QFETCH(QString, stored);
    QFETCH(QStringList, typed);
    QFETCH(QList<int>, keys);
    QFETCH(QString, storedAfter);
    openOnExtraFields({{u"Shelf"_s, ExtraKind::Text}, {u"Extra"_s, kind}}, {u"Top"_s, stored});
    select(1);
    QWidget* editor = extraEditor(1);
    QCOMPARE(editor->accessibleName(), u"Extra"_s);
    const QList<QLabel*> labels = m_window->findChildren<QLabel*>();
    QVERIFY(std::any_of(labels.begin(), labels.end(), [editor](QLabel* label) {
        return label->buddy() == editor && label->text() == u"Extra:"_s;
    }));
    QVERIFY(!m_window->hasPendingEdits());
    // Assistive technology reads a rating as a number.
    QAccessibleValueInterface* value = QAccessible::queryAccessibleInterface(editor)->valueInterface();
    QVERIFY(value || kind != ExtraKind::Rating);
    if (value)
        QCOMPARE(value->currentValue().toString(), stored);
    if (auto* box = qobject_cast<QLineEdit*>(editor); box && !typed.isEmpty()) {
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, typed.constFirst());
    }
    editor->setFocus();
    // A calendar opened picks the day after the one it shows.
    QTimer::singleShot(0, [] {
        if (QWidget* calendar = QApplication::activePopupWidget()) {
            QTest::keyClick(calendar->focusWidget(), Qt::Key_Right);
            QTest::keyClick(calendar->focusWidget(), Qt::Key_Return);
        }
    });
    for (int key : keys) {
        const QKeyCombination pressed = QKeyCombination::fromCombined(key);
        QTest::keyClick(editor, pressed.key(), pressed.keyboardModifiers());
    }
    click("Command5");
    const bool refused = storedAfter.startsWith(u"The film was not stored"_s);
    QCOMPARE(m_desktop->questions(), refused ? QStringList{storedAfter} : QStringList());
    QCOMPARE(m_window->catalogue().at(1).extraValue(1), refused ? stored : storedAfter);
    QCOMPARE(m_window->catalogue().at(1).extraValue(0), u"Top"_s);
    QCOMPARE(m_window->hasPendingEdits(), refused);
}

// The extra fields of film B, with their kinds: "Shelf:text=Top; Rating:rating=7".
static QString extraFieldsOfB(const Catalogue& catalogue)
{
    QStringList shown;
    const ExtraFields& fields = catalogue.extraFields();
    for (qsizetype i = 0; i < fields.size(); ++i)
        shown.append(
            u"%1:%2=%3"_s.arg(fields[i].name, kindFacts(fields[i].kind).key, catalogue.at(1).extraValue(i)));
    return shown.join(u"; "_s);
}

// The Fields dialog changes the list's extra fields, each change a step of its own; the films'
// values go with their fields, the editors follow with what they held, and Undo brings back what
// a change took.
void TestForm1::fieldsDialogChangesAreStepsOfTheirOwn_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("picked"); // in the dialog's list
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("typed"); // into B's Shelf first
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("problem"); // the dialog shows
    const QString before = u"Shelf:text=Top; Rating:rating=7"_s;
    QTest::newRow("Add puts a new field last") << u"cmdFieldAdd"_s << -1 << u"Seen"_s << QString()
                                               << Answer::Yes << before + u"; Seen:yesno="_s << QString();
    QTest::newRow("a name the list has, in any case, is refused")
        << u"cmdFieldAdd"_s << -1 << u"shelf"_s << QString() << Answer::Yes << before
        << u"The list has a field called \"Shelf\" already."_s;
    QTest::newRow("Rename keeps the values")
        << u"cmdFieldRename"_s << 1 << u"Stars"_s << QString() << Answer::Yes
        << u"Shelf:text=Top; Stars:rating=7"_s << QString();
    QTest::newRow("Move Up takes the values along")
        << u"cmdFieldUp"_s << 1 << QString() << QString() << Answer::Yes
        << u"Rating:rating=7; Shelf:text=Top"_s << QString();
    QTest::newRow("Remove of a field with values asks, No keeps it")
        << u"cmdFieldRemove"_s << 1 << QString() << QString() << Answer::No << before << QString();
    QTest::newRow("Remove, Yes takes the values") << u"cmdFieldRemove"_s << 1 << QString() << QString()
                                                  << Answer::Yes << u"Shelf:text=Top"_s << QString();
    QTest::newRow("typed edits stay with their field")
        << u"cmdFieldDown"_s << 0 << QString() << u"Typed"_s << Answer::Yes
        << u"Rating:rating=7; Shelf:text=Top"_s << QString();
}

void TestForm1::fieldsDialogChangesAreStepsOfTheirOwn()
{
    QFETCH(QString, button);
    QFETCH(int, picked);
    QFETCH(QString, name);
    QFETCH(QString, typed);
    QFETCH(Answer, answer);
    QFETCH(QString, after);
    QFETCH(QString, problem);
    openOnExtraFields({{u"Shelf"_s, ExtraKind::Text}, {u"Rating"_s, ExtraKind::Rating}}, {u"Top"_s, u"7"_s});
    select(1);
    QTest::keyClicks(extraEditor(0), typed);
    const QString before = extraFieldsOfB(m_window->catalogue());
    m_desktop->queueAnswer(answer);
    QString shownProblem;
    onModal([&](QWidget* dialog) {
        dialog->findChild<QListWidget*>(u"lstFields"_s)->setCurrentRow(picked);
        if (!name.isEmpty())
            dialog->findChild<QLineEdit*>(u"txtFieldName"_s)->setText(name);
        dialog->findChild<QComboBox*>(u"cboFieldKind"_s)->setCurrentIndex(int(ExtraKind::YesNo));
        QTest::mouseClick(dialog->findChild<QPushButton*>(button), Qt::LeftButton);
        shownProblem = dialog->findChild<QLabel*>(u"lblFieldProblem"_s)->text();
    });
    click("cmdFields");
    QCOMPARE(extraFieldsOfB(m_window->catalogue()), after);
    QCOMPARE(shownProblem, problem);
    QCOMPARE(m_desktop->questions().size(), button == u"cmdFieldRemove"_s ? 1 : 0);
    QCOMPARE(m_window->catalogue().isModified(), after != before);
    const ExtraFields& fields = m_window->catalogue().extraFields();
    for (int i = 0; i < fields.size(); ++i)
        QCOMPARE(extraEditor(i)->accessibleName(), fields[i].name);
    QCOMPARE(m_window->hasPendingEdits(), !typed.isEmpty());
    if (!typed.isEmpty()) {
        QCOMPARE(qobject_cast<QLineEdit*>(extraEditor(int(extraFieldIndex(fields, u"Shelf"))))->text(),
                 typed + u"Top"_s);
        return;
    }
    click("cmdUndo");
    QCOMPARE(extraFieldsOfB(m_window->catalogue()), before);
    QVERIFY(!m_window->hasPendingEdits()); // B's editors show it as stored
}

void TestForm1::typingCompletesFromTheCatalogue()
{
    m_desktop->settings.insert(u"GenreHistory/0"_s, u"Documentary"_s);
    m_desktop->commandLineText = writeList(u"one.csv"_s, {u"Alien"_s});
    openWindow();
    FilmRecord film;
    film[Field::Genre] = u"Drama"_s;
    film[Field::Release] = u"1979"_s;
    m_window->catalogue().replace(0, film);
    QTest::qWait(0);
    const auto completes = [this](const char* name, const QString& typed) {
        auto* box = m_window->findChild<QComboBox*>(QLatin1String(name));
        QCompleter* completer = box ? box->completer() : child<QLineEdit>(name)->completer();
        completer->setCompletionPrefix(typed);
        return completer->completionCount() == 1 ? completer->currentCompletion() : QString();
    };
    QCOMPARE(completes("mGenre", u"dR"_s), u"Drama"_s);
    QCOMPARE(completes("mGenre", u"do"_s), u"Documentary"_s); // and from the history
    QCOMPARE(completes("mRelease", u"19"_s), u"1979"_s);
    QCOMPARE(comboItems(child<QComboBox>("mGenre")), QStringList{u"Documentary"_s}); // the history as it was
}

void TestForm1::dropOnImageFrame(const QString& file)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(child<QWidget>("Frame2"), &enter);
    QApplication::sendEvent(child<QWidget>("Frame2"), &drop);
}

void TestForm1::posterShowsLocalPictures_data()
{
    QTest::addColumn<QString>("source"); // %1 stands for the list's folder
    QTest::addColumn<bool>("picture");
    QTest::newRow("absolute path") << u"%1/images/p.png"_s << true;
    QTest::newRow("relative to the list's folder") << u"images/p.png"_s << true;
    QTest::newRow("backslashes read as slashes") << u"images\\p.png"_s << true;
    QTest::newRow("missing file") << u"images/none.png"_s << false;
    QTest::newRow("web address never fetched") << u"https://example.org/p.png"_s << false;
}

void TestForm1::posterShowsLocalPictures()
{
    QFETCH(QString, source);
    QFETCH(bool, picture);
    QVERIFY(QDir(m_folder->path()).mkpath(u"images"_s));
    QImage(30, 40, QImage::Format_RGB32).save(m_folder->filePath(u"images/p.png"_s));
    openOnThreeFilms();
    child<QLineEdit>("mImgSrc")->setText(source.arg(m_folder->path()));
    auto* poster = child<QLabel>("imgPoster");
    if (picture)
        QTRY_VERIFY(!poster->pixmap().isNull());
    else
        QCOMPARE(poster->text(), u"No picture"_s);

    // A dropped image file becomes the Source, relative when it lies below the list's folder.
    QTemporaryDir elsewhere;
    const QString outside = elsewhere.filePath(u"q.png"_s);
    QImage(3, 4, QImage::Format_RGB32).save(outside);
    const QString dropped = picture ? m_folder->filePath(u"images/p.png"_s) : outside;
    dropOnImageFrame(dropped);
    QCOMPARE(child<QLineEdit>("mImgSrc")->text(), picture ? u"images/p.png"_s : outside);
}

// Browse... or a drop makes a picture the Source; with covers kept with the list, a copy in
// "two covers" beside two.rkf, never replacing a different picture, and a failure is told.
void TestForm1::coversAreKeptWithTheList_data()
{
    QTest::addColumn<bool>("keep");
    QTest::addColumn<QString>("by");      // "browse", "cancel" or "drop"
    QTest::addColumn<QString>("present"); // a file made first in the list's folder, holding "old"
    QTest::addColumn<QString>("source");  // %1 stands for the picture's own path
    QTest::addColumn<bool>("told");
    QTest::newRow("browsed, not kept: the picture where it is")
        << false << u"browse"_s << QString() << u"%1"_s << false;
    QTest::newRow("cancelled: the Source as it was")
        << true << u"cancel"_s << QString() << u"old.png"_s << false;
    QTest::newRow("browsed and kept: a copy beside the list")
        << true << u"browse"_s << QString() << u"two covers/q.png"_s << false;
    QTest::newRow("dropped and kept beside a different picture of its name")
        << true << u"drop"_s << u"two covers/q.png"_s << u"two covers/q (2).png"_s << false;
    QTest::newRow("a copy that fails is told, the picture used where it is")
        << true << u"browse"_s << u"two covers"_s << u"%1"_s << true;
}

void TestForm1::coversAreKeptWithTheList()
{
    QFETCH(bool, keep);
    QFETCH(QString, by);
    QFETCH(QString, present);
    QFETCH(QString, source);
    QFETCH(bool, told);
    QTemporaryDir elsewhere;
    const QString picture = elsewhere.filePath(u"q.png"_s);
    QVERIFY(QImage(3, 4, QImage::Format_RGB32).save(picture));
    if (!present.isEmpty()) {
        QVERIFY(QDir(m_folder->path()).mkpath(QFileInfo(m_folder->filePath(present)).path()));
        QFile file(m_folder->filePath(present));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("old") == 3);
    }
    m_desktop->settings.insert(u"Genral/Keep Covers With List"_s, keep ? u"True"_s : u"False"_s);
    openOnThreeFilms();
    child<QLineEdit>("mImgSrc")->setText(u"old.png"_s);
    if (by == u"drop") {
        dropOnImageFrame(picture);
    } else {
        m_desktop->queueFileChoice(by == u"cancel" ? QString() : picture);
        QTest::mouseClick(child<QPushButton>("cmdBrowseCover"), Qt::LeftButton);
        QCOMPARE(m_desktop->dialogs(), QStringList{u"Cover"_s});
        // The dialog proposes the Source's picture, in the list's folder.
        QCOMPARE(m_desktop->proposedNames(), QStringList{m_folder->filePath(u"old.png"_s)});
    }
    QCOMPARE(child<QLineEdit>("mImgSrc")->text(), source.arg(picture));
    QCOMPARE(m_desktop->questions().size(), told ? 1 : 0);
    if (source.startsWith(u"two covers/"_s))
        QCOMPARE(QImage(m_folder->filePath(source)).size(), QSize(3, 4));
    if (!present.isEmpty())
        QCOMPARE(QFileInfo(m_folder->filePath(present)).size(), 3);
}

// An Update that would add a film the list holds already asks first; fields that show a film of
// the list exactly are nothing to store, at Exit or elsewhere.
void TestForm1::aSecondCopyIsAskedFor_data()
{
    QTest::addColumn<int>("picked");
    QTest::addColumn<QString>("typed");  // into mTitle
    QTest::addColumn<QString>("update"); // how Update is given, twice; empty for not at all
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("questions"); // with those of closing the window, answered No
    const QStringList three{u"A"_s, u"B"_s, u"C"_s};
    const QString again = u"This film is already in the list. Add it again?"_s;
    const QString save = u"Save before exit?"_s;
    QTest::newRow("Update twice on a picked film, No keeps one copy")
        << 1 << QString() << u"Command5"_s << Answer::No << three << QStringList{again};
    QTest::newRow("Ctrl+Return twice, Yes adds the copy")
        << 1 << QString() << u"keys"_s << Answer::Yes << three + QStringList{u"B"_s}
        << QStringList{again, save};
    QTest::newRow("a film typed as the list holds it is nothing to store")
        << -1 << u"C"_s << QString() << Answer::Yes << three << QStringList();
}

void TestForm1::aSecondCopyIsAskedFor()
{
    QFETCH(int, picked);
    QFETCH(QString, typed);
    QFETCH(QString, update);
    QFETCH(Answer, answer);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, questions);
    openOnThreeFilms();
    if (picked >= 0)
        select(picked);
    QTest::keyClicks(child<QLineEdit>("mTitle"), typed);
    m_desktop->queueAnswer(answer);
    for (int i = 0; i < 2 && !update.isEmpty(); ++i) {
        if (update == u"keys"_s)
            QTest::keyClick(child<QLineEdit>("mTitle"), Qt::Key_Return, Qt::ControlModifier);
        else
            click("Command5");
    }
    QCOMPARE(listLines(), lines);
    QVERIFY(!m_window->hasPendingEdits());
    m_desktop->queueAnswer(Answer::No);
    QVERIFY(m_window->close());
    QCOMPARE(m_desktop->questions(), questions);
}

// ---- shut-down and the modified flag ----

// Exit and Load ask first about a modified catalogue, and Yes saves it before going on.
void TestForm1::modifiedCatalogueAsksFirst_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QString>("saveAs"); // empty: the save dialog is cancelled
    QTest::addColumn<QString>("typed");  // typed into mTitle after the film was stored
    QTest::addColumn<bool>("goesOn");    // the window closes, or the other list loads
    QTest::addColumn<int>("saved");
    const QString exit = u"Command11"_s; // Exit runs the shut-down, as closing the window does
    const QString load = u"Command7"_s;
    QTest::newRow("Exit, No closes without saving")
        << exit << Answer::No << QString() << QString() << true << 0;
    QTest::newRow("Exit, Cancel keeps the window open")
        << exit << Answer::Cancel << QString() << QString() << false << 0;
    QTest::newRow("Exit, Yes saves and closes")
        << exit << Answer::Yes << u"saved.rkf"_s << QString() << true << 1;
    QTest::newRow("Exit, Yes with the save cancelled keeps the window open")
        << exit << Answer::Yes << QString() << QString() << false << 0;
    QTest::newRow("Exit, Yes with typed edits stores them, then saves")
        << exit << Answer::Yes << u"saved.rkf"_s << u"Typed"_s << true << 2;
    QTest::newRow("Load, No loads") << load << Answer::No << QString() << QString() << true << 0;
    QTest::newRow("Load, Cancel keeps the catalogue")
        << load << Answer::Cancel << QString() << QString() << false << 0;
    QTest::newRow("Load, Yes saves, then loads")
        << load << Answer::Yes << u"saved.rkf"_s << QString() << true << 1;
}

void TestForm1::modifiedCatalogueAsksFirst()
{
    QFETCH(QString, command);
    QFETCH(Answer, answer);
    QFETCH(QString, saveAs);
    QFETCH(QString, typed);
    QFETCH(bool, goesOn);
    QFETCH(int, saved);
    const bool exit = command == u"Command11";
    const QString other = writeList(u"other.rkf"_s, {u"Other"_s});
    openWindow();
    addFilm(u"Alien"_s, u"DVD"_s);
    QTest::keyClicks(child<QLineEdit>("mTitle"), typed);
    m_desktop->queueAnswer(answer);
    if (answer == Answer::Yes)
        m_desktop->queueFileChoice(saveAs.isEmpty() ? QString() : m_folder->filePath(saveAs));
    m_desktop->queueFileChoice(other);
    click(command.toLatin1().constData());
    if (exit) {
        QCOMPARE(m_window->isVisible(), !goesOn);
        QCOMPARE(m_desktop->settings.value(u"TypeHistory/0"_s), u"DVD"_s);
    } else {
        QCOMPARE(listLines(), goesOn ? QStringList{u"Other"_s} : QStringList{u"Alien"_s});
    }
    QCOMPARE(m_desktop->questions().size(), 1); // one question, with or without typed edits
    const QString question = m_desktop->questions().constFirst();
    QVERIFY(question.startsWith(exit ? u"Save before exit?"_s : u"Save before loading?"_s));
    QCOMPARE(question.contains(u"not in the list yet"_s), !typed.isEmpty());
    if (saved > 0)
        QCOMPARE(loadListFile(m_folder->filePath(saveAs), ListForm::Native)->films.size(), saved);
}

void TestForm1::typedPageTextsMarkTheCatalogue()
{
    openOnThreeFilms();
    for (const char* name : {"gTitle", "gDescription"}) {
        m_window->catalogue().setModified(false);
        QTest::keyClicks(child<QWidget>(name), u"More"_s);
        QVERIFY2(m_window->catalogue().isModified(), name);
    }
}

void TestForm1::pendingEditsAreAskedAbout_data()
{
    QTest::addColumn<QString>("command"); // "select" film A, "close", or a button
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("titleField");
    const QStringList kept{u"A"_s, u"B"_s, u"C"_s};
    const QStringList stored{u"A"_s, u"B2"_s, u"C"_s};
    const QStringList other{u"Other"_s};
    const QString select = u"select"_s;
    const QString load = u"Command7"_s;
    QTest::newRow("select, Store stores them first") << select << Answer::Yes << stored << u"A"_s;
    QTest::newRow("select, Discard shows the film") << select << Answer::No << kept << u"A"_s;
    QTest::newRow("select, Cancel keeps the selection and the edits")
        << select << Answer::Cancel << kept << u"B2"_s;
    QTest::newRow("New, Store") << u"Command3"_s << Answer::Yes << stored << QString();
    QTest::newRow("New, Cancel") << u"Command3"_s << Answer::Cancel << kept << u"B2"_s;
    QTest::newRow("Load, Store") << load << Answer::Yes << other << u"B2"_s;
    QTest::newRow("Load, Discard") << load << Answer::No << other << u"B"_s;
    QTest::newRow("Load, Cancel loads nothing") << load << Answer::Cancel << kept << u"B2"_s;
    QTest::newRow("UP keeps the edits to the moved film, asking nothing")
        << u"Command1"_s << Answer::Cancel << QStringList{u"B"_s, u"A"_s, u"C"_s} << u"B2"_s;
    QTest::newRow("typed edits alone ask at close") << u"close"_s << Answer::Cancel << kept << u"B2"_s;
}

void TestForm1::pendingEditsAreAskedAbout()
{
    QFETCH(QString, command);
    QFETCH(Answer, answer);
    QFETCH(QStringList, lines);
    QFETCH(QString, titleField);
    const QString other = writeList(u"other.rkf"_s, {u"Other"_s});
    openOnThreeFilms();
    select(1);
    child<QLineEdit>("mTitle")->end(false);
    QTest::keyClicks(child<QLineEdit>("mTitle"), u"2"_s);
    QVERIFY(m_window->hasPendingEdits());
    QCOMPARE(shownTitle(), u"two.rkf* \u2014 Reelkeep"_s);
    m_desktop->queueAnswer(answer);
    m_desktop->queueAnswer(Answer::No); // "Save before loading?", once the edits are stored
    m_desktop->queueFileChoice(other);
    if (command == QLatin1String("select"))
        clickLine(0);
    else if (command == QLatin1String("close"))
        QVERIFY(!m_window->close());
    else
        click(command.toLatin1().constData());
    QCOMPARE(listLines(), lines);
    QCOMPARE(child<QLineEdit>("mTitle")->text(), titleField);
    const QString question = m_desktop->questions().value(0);
    if (command == QLatin1String("Command1"))
        QCOMPARE(m_desktop->questions(), QStringList());
    else if (command == QLatin1String("close"))
        QVERIFY(question.startsWith(u"Save before exit?"_s));
    else
        QVERIFY2(question.contains(u"not in the list yet. Store them before"_s), qPrintable(question));
    if (answer == Answer::Cancel && command != QLatin1String("Command1"))
        QCOMPARE(m_window->selectedPosition(), 1);
}

void TestForm1::undoAndRedoEveryChange_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QStringList>("linesAfter");
    QTest::addColumn<bool>("cleanAfterUndo");
    QTest::addColumn<int>("selectedAfter"); // the moved film stays selected and shown
    const auto lines = [](const char* titles) { return QString::fromLatin1(titles).split(QLatin1Char(' ')); };
    QTest::newRow("Update adding") << u"Command5"_s << -1 << lines("A B C D") << true << -1;
    QTest::newRow("Update replacing") << u"Command5"_s << 1 << lines("A D C") << true << -1;
    QTest::newRow("Remove") << u"Command4"_s << 1 << lines("A C") << true << -1;
    QTest::newRow("UP") << u"Command1"_s << 1 << lines("B A C") << true << 0;
    QTest::newRow("DOWN") << u"Command2"_s << 1 << lines("A C B") << true << 2;
    // Taken back, a load leaves the list unlike the file saved last, the loaded one.
    QTest::newRow("Load") << u"Command7"_s << -1 << lines("Other") << false << -1;
}

void TestForm1::undoAndRedoEveryChange()
{
    QFETCH(QString, command);
    QFETCH(int, selected);
    QFETCH(QStringList, linesAfter);
    QFETCH(bool, cleanAfterUndo);
    QFETCH(int, selectedAfter);
    m_desktop->queueFileChoice(writeList(u"other.rkf"_s, {u"Other"_s}));
    openOnThreeFilms();
    const QStringList before = listLines();
    if (selected >= 0)
        select(selected);
    if (command == QLatin1String("Command5"))
        child<QLineEdit>("mTitle")->setText(u"D"_s);
    click(command.toLatin1().constData());
    QCOMPARE(listLines(), linesAfter);
    QCOMPARE(m_window->selectedPosition(), selectedAfter);
    if (selectedAfter >= 0)
        QCOMPARE(child<QLineEdit>("mTitle")->text(), u"B"_s);
    const QString titleAfter = shownTitle();
    // Ctrl+Z reaches the list from a box with no typing of its own to take back.
    auto* title = child<QLineEdit>("mTitle");
    title->setFocus();
    QTest::keyClick(title, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(listLines(), before);
    QCOMPARE(m_window->catalogue().isModified(), !cleanAfterUndo);
    QCOMPARE(shownTitle(), cleanAfterUndo ? u"two.rkf \u2014 Reelkeep"_s : u"two.rkf* \u2014 Reelkeep"_s);
    QTest::keyClick(m_window.get(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(listLines(), linesAfter);
    QCOMPARE(shownTitle(), titleAfter);
    QTest::keyClick(m_window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); // nothing to redo
    QCOMPARE(listLines(), linesAfter);
    QVERIFY(m_desktop->questions().isEmpty());
}

// Past its budget the history lets its oldest steps go: four loads of a list of 120 KB, in a
// budget of 300 KB, leave two to take back.
void TestForm1::theHistoryKeepsWithinItsBudget_data()
{
    QTest::addColumn<bool>("extraValue"); // the list's 120 KB are a value of an extra field, else a plot
    QTest::newRow("films' fields count") << false;
    QTest::newRow("extra values count") << true;
}

void TestForm1::theHistoryKeepsWithinItsBudget()
{
    QFETCH(bool, extraValue);
    openOnThreeFilms();
    m_window->setUndoBudget(300'000);
    for (const QString& title : {u"L1"_s, u"L2"_s, u"L3"_s, u"L4"_s}) {
        const QString path = m_folder->filePath(title + u".rkf"_s);
        const QString text(60'000, u'x');
        ListDocument list{
            u"Page"_s, QString(), {filmOf({title, {}, {}, {}, {}, {}, extraValue ? QString() : text})}};
        if (extraValue) {
            list.fields = {{u"Notes"_s, ExtraKind::LongText}};
            list.films[0].extra = {text};
        }
        QVERIFY(saveListFile(path, ListForm::Native, list));
        m_desktop->queueFileChoice(path);
        click("Command7");
    }
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(m_window.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(listLines(), QStringList{u"L2"_s});
    QVERIFY(!child<QPushButton>("cmdUndo")->isEnabled());
    QTest::keyClick(m_window.get(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(listLines(), QStringList{u"L3"_s});
}

// ---- list files ----

void TestForm1::saveFormFollowsTheName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("filter");
    QTest::addColumn<bool>("native");
    QTest::newRow("rkf under the comma-separated filter is native") << u"films.rkf"_s << 2 << true;
    QTest::newRow("csv under the native filter is comma-separated") << u"films.csv"_s << 1 << false;
    QTest::newRow("another name takes the comma-separated filter") << u"films.txt"_s << 2 << false;
    QTest::newRow("another name takes the native filter") << u"films.txt"_s << 1 << true;
}

void TestForm1::saveFormFollowsTheName()
{
    QFETCH(QString, name);
    QFETCH(int, filter);
    QFETCH(bool, native);
    openWindow();
    child<QLineEdit>("gTitle")->setText(u"Favourites"_s);
    child<QPlainTextEdit>("gDescription")->setPlainText(u"line one\nline two"_s);
    addFilm(u"Heat"_s);
    const QString path = m_folder->filePath(name);
    m_desktop->queueFileChoice(path, filter);
    click("Command6");
    QCOMPARE(m_desktop->dialogs(), QStringList{u"Save List"_s});
    QCOMPARE(m_desktop->proposedNames(), QStringList{u"*.rkf"_s}); // no file yet
    QCOMPARE(fileContents(path).startsWith("rkf01"), native);
    QCOMPARE(m_window->catalogue().isModified(), !native); // a comma-separated save leaves the flag
    QCOMPARE(shownTitle(), name + (native ? QString() : u"*"_s) + u" \u2014 Reelkeep"_s);

    // Loaded with the other filter shown, the file's bytes decide.
    m_window.reset();
    m_desktop = std::make_unique<FakeDesktop>();
    openWindow();
    m_desktop->queueFileChoice(path, 3 - filter);
    click("Command7");
    QCOMPARE(listLines(), QStringList{u"Heat"_s});
    // Only the native form holds the page texts; the comma-separated one leaves the window's.
    QCOMPARE(child<QLineEdit>("gTitle")->text(), native ? u"Favourites"_s : u"My Movie"_s);
    QCOMPARE(child<QPlainTextEdit>("gDescription")->toPlainText(),
             native ? u"line one\nline two"_s : QString());
    QVERIFY(!m_window->catalogue().isModified());
    QVERIFY(m_desktop->questions().isEmpty());
}

// A description with Windows line breaks is saved back byte for byte.
void TestForm1::aDescriptionKeepsItsLineBreaks()
{
    m_desktop->commandLineText = m_folder->filePath(u"windows.rkf"_s);
    QVERIFY(saveListFile(
        m_desktop->commandLineText, ListForm::Native, {u"Page"_s, u"one\r\ntwo"_s, {filmOf({u"A"_s})}}));
    const QByteArray loaded = fileContents(m_desktop->commandLineText);
    openWindow();
    QTest::keyClick(m_window.get(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(fileContents(m_desktop->commandLineText), loaded);
}

void TestForm1::aSaveKeepsThePreviousVersionAsOptionsSay_data()
{
    QTest::addColumn<QString>("setting"); // Genral/Keep Previous Version, empty when never stored
    QTest::addColumn<bool>("kept");
    QTest::newRow("kept unless the Options turned it off") << QString() << true;
    QTest::newRow("turned off in the Options") << u"False"_s << false;
}

void TestForm1::aSaveKeepsThePreviousVersionAsOptionsSay()
{
    QFETCH(QString, setting);
    QFETCH(bool, kept);
    if (!setting.isEmpty())
        m_desktop->settings.insert(u"Genral/Keep Previous Version"_s, setting);
    openWindow();
    addFilm(u"Heat"_s);
    const QString path = m_folder->filePath(u"films.rkf"_s);
    m_desktop->queueFileChoice(path, 1);
    click("Command6");
    const QByteArray first = fileContents(path);
    addFilm(u"Ran"_s);
    QTest::keyClick(m_window.get(), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(fileContents(path) != first);
    QCOMPARE(QFile::exists(path + u".bak"_s), kept);
    if (kept)
        QCOMPARE(fileContents(path + u".bak"_s), first);
}

// The mark and the exit question tell exactly what the .csv file lacks of the window, also once
// Undo and Redo come back to it; Exit's Yes saves to the open file in its form, asking for a name
// only when there is none.
void TestForm1::aCsvListIsSavedByItsOwnAccount_data()
{
    QTest::addColumn<bool>("loaded");       // the window starts on films.csv holding A, else on no file
    QTest::addColumn<QString>("pageTitle"); // typed into gTitle; empty for none
    QTest::addColumn<QString>("field");     // an extra field of the list, which an Import brings into a
                                            // loaded list; empty for none
    QTest::addColumn<bool>(
        "marked"); // the window's title has its mark once B is added and saved as films.csv
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("question"); // at Exit, answered Yes; empty for none
    const QString exit = u"Save before exit?"_s;
    const QString only = u": the .csv form keeps the seventeen fields of each film only."_s;
    QTest::newRow("a new window's page texts, saved as .csv")
        << false << QString() << QString() << false << QString() << QString();
    QTest::newRow("page texts a .csv file does not keep, saved as .csv")
        << false << u"Favourites"_s << QString() << true
        << u"films.csv does not keep the page title and description"_s + only
        << exit + u"\n\nThe .csv form does not keep the page title and description."_s;
    QTest::newRow("extra fields a .csv file does not keep, saved as .csv")
        << false << QString() << u"Seen"_s << true
        << u"films.csv does not keep the extra field \"Seen\""_s + only
        << exit + u"\n\nThe .csv form does not keep the extra field \"Seen\"."_s;
    QTest::newRow("a loaded .csv list, not saved")
        << true << QString() << QString() << true << QString() << exit;
    QTest::newRow("extra fields an Import brings into a loaded .csv list stay in the window")
        << true << QString() << u"Seen"_s << true << u"1 film imported (2 now)."_s
        << exit + u"\n\nThe .csv form does not keep the extra field \"Seen\"."_s;
}

void TestForm1::aCsvListIsSavedByItsOwnAccount()
{
    QFETCH(bool, loaded);
    QFETCH(QString, pageTitle);
    QFETCH(QString, field);
    QFETCH(bool, marked);
    QFETCH(QString, line);
    QFETCH(QString, question);
    const QString csv = m_folder->filePath(u"films.csv"_s);
    if (loaded)
        m_desktop->commandLineText = writeList(u"films.csv"_s, {u"A"_s});
    openWindow();
    if (!pageTitle.isEmpty()) {
        child<QLineEdit>("gTitle")->selectAll();
        QTest::keyClicks(child<QLineEdit>("gTitle"), pageTitle);
    }
    if (!field.isEmpty() && loaded) {
        const QString sheet = m_folder->filePath(u"sheet.csv"_s);
        writeFileBytes(sheet, "Title," + field.toUtf8() + "\nC,yes\n");
        m_desktop->queueFileChoice(sheet);
        onModal([](QWidget* dialog) {
            QTest::mouseClick(dialog->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        });
        click("cmdImport");
    } else if (!field.isEmpty()) {
        m_window->catalogue().setExtraFields({{field, ExtraKind::YesNo}});
    }
    QCOMPARE(m_window->catalogue().extraFields().value(0).name, field);
    addFilm(u"B"_s);
    if (!loaded) {
        m_desktop->queueFileChoice(csv, 2);
        QTest::keyClick(m_window.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    }
    const QString title = u"films.csv%1 \u2014 Reelkeep"_s.arg(marked ? u"*"_s : QString());
    QCOMPARE(shownTitle(), title);
    click("cmdUndo");
    click("cmdRedo");
    QCOMPARE(shownTitle(), title);
    QCOMPARE(child<QLabel>("lblStatus")->text(), line);
    m_desktop->queueAnswer(Answer::Yes);
    QVERIFY(m_window->close());
    QCOMPARE(m_desktop->questions(), question.isEmpty() ? QStringList() : QStringList{question});
    // The Import's file dialog, or Save's; a save to the loaded list asks for no name.
    QCOMPARE(m_desktop->dialogs().size(), loaded && field.isEmpty() ? 0 : 1);
    QCOMPARE(loadListFile(csv, ListForm::FromName)->films.size(), loaded ? 2 : 1);
}

// Ctrl+S saves to the current file without a dialog; Save As and Load propose the current file and
// the filter it was saved under.
void TestForm1::dialogsProposeTheCurrentFile()
{
    openOnThreeFilms();
    addFilm(u"D"_s);
    QTest::keyClick(m_window.get(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(m_desktop->dialogs(), QStringList());
    QCOMPARE(m_desktop->questions(), QStringList());
    QCOMPARE(loadListFile(m_desktop->commandLineText, ListForm::Native)->films.size(), 4);
    QCOMPARE(shownTitle(), u"two.rkf \u2014 Reelkeep"_s);
    const QString csv = m_folder->filePath(u"films.csv"_s);
    m_desktop->queueFileChoice(csv, 2);
    QTest::keyClick(m_window.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    m_desktop->queueAnswer(Answer::No); // a comma-separated save leaves the films unsaved
    m_desktop->queueCancel();
    click("Command7");
    QCOMPARE(m_desktop->dialogs(), (QStringList{u"Save List"_s, u"Load List"_s}));
    QCOMPARE(m_desktop->proposedNames(), (QStringList{m_desktop->commandLineText, csv}));
    QCOMPARE(m_desktop->proposedFilters(), (QList<int>{1, 2}));
}

void TestForm1::failedLoadTellsAndChangesNothing()
{
    const QString path = m_folder->filePath(u"foreign.rkf"_s);
    writeFileBytes(path, "GIF89a not a list at all");
    m_desktop->commandLineText = writeList(u"mine.rkf"_s, {u"Mine"_s}, u"Page"_s);
    openWindow();
    m_desktop->queueFileChoice(path, 1);
    click("Command7");
    QCOMPARE(listLines(), QStringList{u"Mine"_s});
    QCOMPARE(child<QLineEdit>("gTitle")->text(), u"Page"_s);
    QCOMPARE(m_desktop->questions().size(), 1);
    QVERIFY(m_desktop->questions().constFirst().contains(u"foreign.rkf"_s));
}

void TestForm1::recentListsNewestFirst()
{
    openWindow();
    QStringList paths;
    for (int i = 0; i < 9; ++i) {
        paths.append(writeList(u"%1.rkf"_s.arg(i), {u"Film %1"_s.arg(i)}));
        m_window->loadList(paths.last(), ListForm::FromName, false);
    }
    m_window->loadList(paths.at(3), ListForm::FromName, false);
    auto* menu = child<QMenu>("mnuRecent");
    const auto entries = [menu] {
        QStringList texts;
        for (const QAction* action : menu->actions())
            texts.append(action->text().section(QLatin1Char(' '), 1));
        return texts;
    };
    QStringList newestFirst{paths.at(3)};
    for (int i = 8; i >= 1; --i)
        newestFirst += i == 3 ? QStringList() : QStringList{paths.at(i)};
    QCOMPARE(entries(), newestFirst);
    QCOMPARE(m_desktop->settings.value(u"RecentLists/7"_s), paths.at(1));
    QFile::remove(paths.at(5));
    menu->actions().at(4)->trigger();
    QVERIFY(m_desktop->questions().value(0).endsWith(u"It is taken off the recent lists."_s));
    QCOMPARE(entries().size(), 7);
    QCOMPARE(listLines(), QStringList{u"Film 3"_s});
    menu->actions().at(2)->trigger(); // 7.rkf
    QCOMPARE(listLines(), QStringList{u"Film 7"_s});
    QCOMPARE(entries().constFirst(), paths.at(7));
}

void TestForm1::importAppendsOneStep_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("told");
    QTest::addColumn<QString>("summary");    // the first imported film is picked and shown with it
    QTest::addColumn<QStringList>("fields"); // the extra fields the list has then
    const QStringList three{u"A"_s, u"B"_s, u"C"_s};
    const QStringList none;
    QTest::newRow("accepted mapping appends, Undo removes")
        << QByteArray("Name;Year\r\nAm\xc3\xa9lie;2001\r\nHeat;1995\r\n") << true
        << three + QStringList{u"Am\u00e9lie"_s, u"Heat"_s} << QString() << u"2 films imported (5 now)."_s
        << none;
    QTest::newRow("a column of no field brings an extra field, which Undo takes back too")
        << QByteArray("Title;Seen\nHeat;yes\n") << true << three + QStringList{u"Heat"_s} << QString()
        << u"1 film imported (4 now)."_s << QStringList{u"Seen"_s};
    QTest::newRow("films the list holds are named, and added all the same")
        << QByteArray("Title;Year\nB\nD;2001\nB;1999\nC\n") << true
        << three + QStringList{u"B"_s, u"D"_s, u"B"_s, u"C"_s} << QString()
        << u"4 films imported (7 now). Already in the list: \u201CB\u201D, \u201CC\u201D."_s << none;
    QTest::newRow("cancelled dialog changes nothing")
        << QByteArray("Title\nHeat\n") << false << three << QString() << QString() << none;
    QTest::newRow("unreadable file tells")
        << QByteArray() << true << three << u"Could not import"_s << QString() << none;
    QTest::newRow("beyond the entry limit refused")
        << QByteArray("Title\n") + QByteArray("x\n").repeated(Catalogue::MaxEntries - 2) << true << three
        << u"The list holds 3 films and the file 32,765"_s << QString() << none;
}

void TestForm1::importAppendsOneStep()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, accept);
    QFETCH(QStringList, lines);
    QFETCH(QString, told);
    QFETCH(QString, summary);
    QFETCH(QStringList, fields);
    openOnThreeFilms();
    const QString path = m_folder->filePath(u"sheet.csv"_s);
    if (!bytes.isEmpty())
        writeFileBytes(path, bytes);
    m_desktop->queueFileChoice(path);
    onModal([accept](QWidget* dialog) {
        QTest::mouseClick(dialog->findChild<QPushButton*>(accept ? "Command1" : "Command2"), Qt::LeftButton);
    });
    click("cmdImport");
    QCOMPARE(listLines(), lines);
    QCOMPARE(m_desktop->questions().value(0).left(told.size()), told);
    QCOMPARE(m_window->catalogue().isModified(), lines.size() > 3);
    QCOMPARE(child<QLabel>("lblStatus")->text(), summary);
    QCOMPARE(m_window->selectedPosition(), summary.isEmpty() ? -1 : 3);
    QCOMPARE(child<QLineEdit>("mTitle")->text(), lines.value(summary.isEmpty() ? -1 : 3));
    QStringList names;
    for (const ExtraField& field : m_window->catalogue().extraFields())
        names.append(field.name);
    QCOMPARE(names, fields);
    m_window->undoStack().undo();
    QCOMPARE(listLines().size(), 3);
    QVERIFY(m_window->catalogue().extraFields().isEmpty());
}

void TestForm1::aboutAndOptionsOpenModally_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("dialog");
    QTest::newRow("About") << u"Command9"_s << u"frmAbout"_s;
    QTest::newRow("Options") << u"Command12"_s << u"frmOptions"_s;
}

void TestForm1::aboutAndOptionsOpenModally()
{
    QFETCH(QString, button);
    QFETCH(QString, dialog);
    openWindow();
    QString shown;
    onModal([&shown](QWidget* modal) { shown = modal->objectName(); });
    click(button.toLatin1().constData());
    QCOMPARE(shown, dialog);
    QVERIFY(m_desktop->settings.isEmpty()); // closing either dialog stores nothing
}

// Ctrl+I shows the statistics beside the window, each chart's numbers in a table, counted again as
// the films change while it is open, and when it opens again.
void TestForm1::statisticsFollowTheCatalogue()
{
    openWindow();
    addFilm(u"Heat"_s, u"DVD"_s, u"Crime"_s);
    addFilm(u"Alien"_s, u"dvd"_s, u"Horror"_s);
    QTest::keyClick(m_window.get(), Qt::Key_I, Qt::ControlModifier);
    auto* statistics = m_window->findChild<QDialog*>(u"frmStatistics"_s);
    QVERIFY(statistics && statistics->isVisible() && !statistics->isModal());
    const auto shown = [statistics](int group) {
        QStringList rows{statistics->findChild<QLabel*>(u"lblFilms"_s)->text()};
        auto* grid = statistics->findChild<QTableWidget*>(u"grdGroup%1"_s.arg(group));
        for (int row = 0; grid && row < grid->rowCount(); ++row)
            rows.append(grid->item(row, 0)->text() + u' ' + grid->item(row, 1)->text());
        return rows.join(u'|');
    };
    QCOMPARE(shown(0), u"2 films|Crime 1|Horror 1"_s);
    QCOMPARE(statistics->focusWidget()->objectName(), u"grdGroup0"_s);
    QCOMPARE(shown(1), u"2 films|DVD 2"_s);
    QCOMPARE(statistics->findChild<QWidget*>(u"chtGroup0"_s)->accessibleDescription(),
             u"Crime: 1 film; Horror: 1 film"_s);
    addFilm(u"Ran"_s, u"Blu-ray"_s, u"crime"_s);
    QTRY_COMPARE(shown(0), u"3 films|Crime 2|Horror 1"_s);
    m_window->catalogue().setExtraFields({{u"Seen"_s, ExtraKind::YesNo}});
    QTRY_COMPARE(shown(3), u"3 films|Yes 0|No 0|Not set 3"_s);
    QTest::keyClick(statistics, Qt::Key_Escape);
    QVERIFY(!statistics->isVisible());
    addFilm(u"Up"_s);
    click("cmdStatistics");
    QCOMPARE(shown(0), u"4 films|Crime 2|Horror 1|No genre 1"_s);
}

static bool insideComboBox(const QWidget* control)
{
    for (const QWidget* ancestor = control->parentWidget(); ancestor; ancestor = ancestor->parentWidget()) {
        if (qobject_cast<const QComboBox*>(ancestor))
            return true;
    }
    return false;
}

// Every control is named for assistive technology, and the list takes the growth of the window,
// also with the most extra fields a list has, of every kind.
void TestForm1::controlsAreNamedAndTheListTakesTheGrowth()
{
    ExtraFields fields;
    for (int i = 0; i < MaxExtraFields; ++i)
        fields.append({u"Field %1"_s.arg(i + 1), ExtraKind(i % ExtraKindCount)});
    openOnExtraFields(fields, {});
    const QList<QWidget*> controls = m_window->findChildren<QWidget*>();
    int checked = 0;
    for (QWidget* control : controls) {
        if (!qobject_cast<QLineEdit*>(control) && !qobject_cast<QPlainTextEdit*>(control) &&
            !qobject_cast<QComboBox*>(control) && !qobject_cast<QTableView*>(control) &&
            !qobject_cast<QPushButton*>(control) && !qobject_cast<QCheckBox*>(control) &&
            !control->objectName().startsWith(u"mExtra"_s))
            continue;
        if (insideComboBox(control))
            continue; // the editor and the list inside a combo box are named through the box
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        QVERIFY2(accessible && !accessible->text(QAccessible::Name).isEmpty(),
                 qPrintable(control->objectName() + QLatin1Char(' ') +
                            QLatin1String(control->metaObject()->className())));
        ++checked;
    }
    QVERIFY(checked > FieldCount + MaxExtraFields + 2); // at least the fields, the page texts and the list
    // Assistive technology meets a window, not a filler.
    QCOMPARE(QAccessible::queryAccessibleInterface(m_window.get())->role(), QAccessible::Window);
    // The whole window fits 1366 by 768 at 150 %, less a title bar.
    QVERIFY(m_window->minimumSizeHint().width() <= 911 && m_window->minimumSizeHint().height() <= 480);
    m_window->resize(800, 600);
    const int list = child<QTableView>("List1")->height();
    const int plot = child<QPlainTextEdit>("mPlot")->height();
    m_window->resize(800, 700);
    QCOMPARE(child<QTableView>("List1")->height(), list + 100);
    QCOMPARE(child<QPlainTextEdit>("mPlot")->height(), plot);
    QVERIFY(m_window->close());
    openWindow();
    QCOMPARE(m_window->size(), QSize(800, 700));
}

// Assistive technology reads what a label shows, and a film without a title as "(no title)".
void TestForm1::labelsAndLinesAreNamedByWhatTheyShow()
{
    writeTemplate(u"mask.html"_s, "[setlabel('Films made')]");
    m_desktop->commandLineText = writeList(u"two.rkf"_s, {u"A"_s, QString()});
    openWindow();
    m_desktop->queueFileChoice(m_folder->filePath(u"page.html"_s));
    click("Command8");
    QStringList shown;
    for (QLabel* label : m_window->findChildren<QLabel*>()) {
        if (!label->text().isEmpty())
            QCOMPARE(QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name),
                     shown.emplace_back(QString(label->text()).remove(u'&')));
    }
    QVERIFY2(shown.contains(u"2 films"_s) && shown.contains(u"Films made"_s) &&
                 shown.contains(u"No picture"_s),
             qPrintable(shown.join(u'|')));
    QAccessibleInterface* lines = QAccessible::queryAccessibleInterface(child<QTableView>("List1"));
    QCOMPARE(lines->role(), QAccessible::Table);
    QCOMPARE(lines->tableInterface()->cellAt(1, 0)->text(QAccessible::Name), u"(no title)"_s);
    QCOMPARE(lines->tableInterface()->columnDescription(0), u"Title"_s);
    QCOMPARE(m_window->catalogue().at(1).title(), QString());
}

// ---- the page ----

void TestForm1::writeTemplate(const QString& name, const QByteArray& bytes)
{
    QDir(m_folder->path()).mkpath(u"app/template"_s);
    m_desktop->applicationFolderPath = m_folder->filePath(u"app"_s);
    writeFileBytes(m_folder->filePath(u"app/template/"_s + name), bytes);
}

// Templates that take far longer than a yield interval: 600,000 includes.
void TestForm1::writeLongRunningTemplates()
{
    writeTemplate(u"mask.html"_s, "[infile('outer.html', 30000)]end");
    writeTemplate(u"outer.html"_s, "[infile('slow.html', 20)]");
    writeTemplate(u"slow.html"_s, "[setvar('n', getvar('n') + 1)]x");
}

void TestForm1::replaceFileAnswers_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QByteArray>("start"); // how the file begins afterwards
    const QByteArray old(1000, 'x');
    QTest::newRow("Save, No keeps the file") << u"Command6"_s << Answer::No << old;
    QTest::newRow("Save, Yes replaces it") << u"Command6"_s << Answer::Yes << QByteArray("rkf01");
    QTest::newRow("Make HTML File, No keeps the file") << u"Command8"_s << Answer::No << old;
    QTest::newRow("Make HTML File, Yes writes a shorter page")
        << u"Command8"_s << Answer::Yes << QByteArray("<p>My Movie</p>");
    QTest::newRow("Export, No keeps the file") << u"cmdExport"_s << Answer::No << old;
    QTest::newRow("Export, Yes writes the sheet as reelkeep-cli export does")
        << u"cmdExport"_s << Answer::Yes << writeSheet({{}, {}, {filmOf({u"New"_s})}});
}

void TestForm1::replaceFileAnswers()
{
    QFETCH(QString, button);
    QFETCH(Answer, answer);
    QFETCH(QByteArray, start);
    writeTemplate(u"mask.html"_s, "<p>[title]</p>");
    const QString path = m_folder->filePath(u"old.file"_s);
    writeFileBytes(path, QByteArray(1000, 'x'));
    openWindow();
    addFilm(u"New"_s);
    m_desktop->queueFileChoice(path);
    m_desktop->queueAnswer(answer);
    click(button.toLatin1().constData());
    QCOMPARE(m_desktop->questions(), QStringList{u"Replace File?"_s});
    const QByteArray written = fileContents(path);
    QCOMPARE(written.left(start.size()), start);
    QCOMPARE(written.size() == 1000, answer == Answer::No);
    // A list file or a sheet replaced is kept beside it; a page is not.
    const bool kept = button != QLatin1String("Command8") && answer == Answer::Yes;
    QCOMPARE(fileContents(path + u".bak"_s), kept ? QByteArray(1000, 'x') : QByteArray());
    QCOMPARE(m_window->catalogue().isModified(), button != QLatin1String("Command6") || answer == Answer::No);
}

void TestForm1::makePageReadsTheWindow()
{
    writeTemplate(u"mask.html"_s,
                  "[title]|[description]|[list.sort('title', true)][setvar('i', 0)][setlabel('Films')]"
                  "[infile('film.html', list.count)][setprogress(100)]");
    writeTemplate(u"film.html"_s, "[setvar('i', getvar('i') + 1)][list.setindex(getvar('i'))]<[list.title]>");
    openWindow();
    addFilm(u"Ran"_s);
    addFilm(u"Heat"_s);
    child<QLineEdit>("gTitle")->setText(u"Mine"_s);
    child<QPlainTextEdit>("gDescription")->setPlainText(u"Two films"_s);
    // A cancelled dialog writes nothing; the next run writes the page.
    m_desktop->queueCancel();
    click("Command8");
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files), QStringList());
    const QString page = m_folder->filePath(u"page.html"_s);
    m_desktop->queueFileChoice(page);
    click("Command8");
    QCOMPARE(m_desktop->dialogs(), QStringList(2, u"Make HTML"_s));
    QCOMPARE(fileContents(page), QByteArray("Mine|Two films|<Heat><Ran>"));
    QCOMPARE(child<QLabel>("iLabel")->text(), u"Films"_s);
    QCOMPARE(child<QProgressBar>("iProgress")->value(), 100);
    QVERIFY(child<QLabel>("lblStatus")->text().endsWith(QDir::toNativeSeparators(page)));
    click("cmdOpenPage");
    click("Command10"); // WebPage
    QCOMPARE(m_desktop->openedAddresses(),
             (QStringList{QUrl::fromLocalFile(page).toString(), ProductWebAddress}));
    QCOMPARE(listLines(), (QStringList{u"Ran"_s, u"Heat"_s}));
    QVERIFY(m_desktop->questions().isEmpty());
    QVERIFY(child<QPushButton>("Command8")->isEnabled());
    QVERIFY(!child<QPushButton>("cmdStop")->isEnabled());
}

void TestForm1::makePageRefusesAndKeepsTheFile_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("ownList"); // the file chosen is the list file, else a page already there
    QTest::addColumn<QString>("told"); // in the last of the questions
    QTest::addColumn<int>("questions");
    QTest::newRow("no template folder, after Replace File?") << u"Command8"_s << false << u"mask.html"_s << 2;
    QTest::newRow("the window's own list file") << u"Command8"_s << true << u"is the list file"_s << 1;
    QTest::newRow("Export to the window's own list file")
        << u"cmdExport"_s << true << u"is the list file"_s << 1;
}

void TestForm1::makePageRefusesAndKeepsTheFile()
{
    QFETCH(QString, button);
    QFETCH(bool, ownList);
    QFETCH(QString, told);
    QFETCH(int, questions);
    QString page = m_folder->filePath(u"page.html"_s);
    if (ownList) {
        writeTemplate(u"mask.html"_s, "page");
        page = m_desktop->commandLineText = writeList(u"list.rkf"_s, {u"Alien"_s});
    } else {
        m_desktop->applicationFolderPath = m_folder->filePath(u"nowhere"_s);
        writeFileBytes(page, "old page");
    }
    const QByteArray before = fileContents(page);
    openWindow();
    m_desktop->queueFileChoice(page);
    m_desktop->queueAnswer(Answer::Yes);
    click(button.toLatin1().constData());
    QCOMPARE(m_desktop->questions().size(), questions);
    QVERIFY2(m_desktop->questions().constLast().contains(told),
             qPrintable(m_desktop->questions().constLast()));
    QCOMPARE(fileContents(page), before);
}

void TestForm1::makePageErrorTellsWhereAndKeepsThePartialPage()
{
    // A UTF-8 template with a byte that is not UTF-8 is told after the error; a call of no
    // function is listed by Show Warnings.
    writeTemplate(u"mask.html"_s,
                  "\xEF\xBB\xBF"
                  "before\n[nosuch(1)][infile('film.html', 1)]after\xFF");
    writeTemplate(u"film.html"_s, "one\ntwo [list.title] three");
    openWindow();
    const QString page = m_folder->filePath(u"page.html"_s);
    m_desktop->queueFileChoice(page);
    click("Command8");
    QCOMPARE(fileContents(page),
             QByteArray("\xEF\xBB\xBF"
                        "before\none\ntwo "));
    QCOMPARE(m_desktop->questions().size(), 2);
    const QString warned = m_desktop->questions().at(1);
    QVERIFY2(warned.endsWith(u"not UTF-8 (read as U+FFFD), the first at byte 51, line 2."_s),
             qPrintable(warned));
    const QString told = m_desktop->questions().constFirst();
    QVERIFY2(told.contains(u"error 9: Subscript out of range"_s), qPrintable(told));
    QVERIFY2(told.contains(u"film.html, line 2"_s), qPrintable(told));
    QCOMPARE(child<QLabel>("lblStatus")->text(), u"1 template warning"_s);
    QStringList listed;
    onModal([&listed](QWidget* modal) {
        if (const auto* table = modal->findChild<QTableWidget*>(u"tblWarnings"_s))
            for (int column = 0; column < table->columnCount(); ++column)
                listed << table->item(0, column)->text();
    });
    QVERIFY(!child<QPushButton>("cmdShowWarnings")->isHidden());
    click("cmdShowWarnings");
    QCOMPARE(listed.mid(0, 2), (QStringList{u"mask.html"_s, u"2"_s}));
    QVERIFY2(listed.value(2).contains(u"nosuch"_s), qPrintable(listed.join(u'|')));
}

void TestForm1::stoppingAPageKeepsThePartialPageWithoutAnError_data()
{
    QTest::addColumn<bool>("closing"); // the window is closed during the run, else Esc is pressed
    QTest::newRow("Esc") << false;
    QTest::newRow("closing the window stops the page first, then closes") << true;
}

void TestForm1::stoppingAPageKeepsThePartialPageWithoutAnError()
{
    QFETCH(bool, closing);
    writeLongRunningTemplates();
    openWindow();
    const QString page = m_folder->filePath(u"page.html"_s);
    m_desktop->queueFileChoice(page);
    bool stopWasEnabled = false;
    bool closedDuringRun = false;
    int yields = 0;
    // Stopped at the second yield: the first may come before any byte is written, when preparing
    // took longer than the yield interval (as in a sanitizer's build).
    m_desktop->onYield = [&] {
        stopWasEnabled =
            child<QPushButton>("cmdStop")->isEnabled() && !child<QPushButton>("Command5")->isEnabled();
        if (++yields == 2 && closing)
            closedDuringRun = m_window->close();
        else if (yields == 2)
            QTest::keyClick(m_window.get(), Qt::Key_Escape);
    };
    click("Command8");
    QVERIFY(stopWasEnabled);
    QVERIFY(!closedDuringRun);
    QCOMPARE(m_window->isVisible(), !closing);
    QCOMPARE(m_desktop->questions(), QStringList());
    QCOMPARE(child<QLabel>("iLabel")->text(), u"Stopped: the page holds the films written so far."_s);
    const QByteArray written = fileContents(page);
    QVERIFY(written.size() > 0 && written.size() < 600000);
    QVERIFY(!written.endsWith("end"));
    QVERIFY(child<QPushButton>("Command5")->isEnabled());
}

// A command that cannot get memory ends, says so and leaves the list and the typed edits as they
// were; the window goes on. The memory runs out where the scripted desktop throws std::bad_alloc.
void TestForm1::aCommandOutOfMemoryEndsAlone_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<Answer>("answer"); // whether to store the typed edits first
    QTest::addColumn<QStringList>("lines");
    const QStringList three{u"A"_s, u"B"_s, u"C"_s};
    QTest::newRow("Load, once the list is read") << u"Command7"_s << Answer::No << three;
    QTest::newRow("Make HTML File, in the middle of the page") << u"Command8"_s << Answer::No << three;
    QTest::newRow("Exit, with the edits stored and the list saved")
        << u"Command11"_s << Answer::Yes << three + QStringList{u"D"_s};
}

void TestForm1::aCommandOutOfMemoryEndsAlone()
{
    QFETCH(QString, command);
    QFETCH(Answer, answer);
    QFETCH(QStringList, lines);
    writeLongRunningTemplates();
    const QString other = writeList(u"other.rkf"_s, {u"Other"_s});
    openOnThreeFilms();
    if (command == u"Command11"_s)
        addFilm(u"D"_s);
    const bool modified = m_window->catalogue().isModified();
    child<QLineEdit>("mTitle")->setText(u"Typed"_s);
    bool thrown = false;
    const auto runOut = [&thrown] {
        if (!std::exchange(thrown, true))
            throw std::bad_alloc();
    };
    m_desktop->onYield = runOut;
    // Loading and saving remember the list file among the recent ones once it is read or written.
    m_desktop->onReadSetting = [&runOut, &command](const QString& section) {
        if (section == u"RecentLists"_s && command != u"Command8"_s)
            runOut();
    };
    m_desktop->queueFileChoice(command == u"Command8"_s ? m_folder->filePath(u"page.html"_s) : other);
    m_desktop->queueAnswer(answer);
    click(command.toLatin1().constData());
    QVERIFY(thrown);
    QVERIFY(m_window->isVisible());
    QVERIFY2(m_desktop->questions().constLast().startsWith(u"There was not enough memory for the command"_s),
             qPrintable(m_desktop->questions().join(u'|')));
    QCOMPARE(listLines(), lines);
    QCOMPARE(child<QLineEdit>("mTitle")->text(), u"Typed"_s);
    QVERIFY(m_window->hasPendingEdits());
    QCOMPARE(m_window->catalogue().isModified(), modified);
    QVERIFY(child<QPushButton>("Command5")->isEnabled());
    QVERIFY(!child<QPushButton>("cmdRedo")->isEnabled());
}

QTEST_MAIN(TestForm1)
#include "TestForm1.moc"
