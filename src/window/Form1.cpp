// The main window's shell: builds the two tabs from the parts, holds every command as an action,
// runs start-up and shut-down, and puts back what a command that ran out of memory changed.
#include "window/Form1.h"

#include "about/Product.h"
#include "about/Version.h"
#include "about/widgets/frmAbout.h"
#include "desktop/DesktopServices.h"
#include "pagegen/PageRun.h"
#include "storage/SettingsEntries.h"
#include "storage/widgets/frmOptions.h"
#include "window/CatalogueCommands.h"
#include "window/Controls.h"
#include "window/FilmEditor.h"
#include "window/FilmTable.h"
#include "window/ListFileCommands.h"
#include "window/PagePanel.h"
#include "window/PageTexts.h"
#include "window/frmFields.h"
#include "window/frmStatistics.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

namespace reelkeep {

namespace {

/// The window's size and place on the screen, kept from one run to the next.
const QString WindowSection = QStringLiteral("Window");
const QString GeometryKey = QStringLiteral("Geometry");

/// The command line names one file, possibly in double quotes: what follows the first quote,
/// up to the next one, or the whole text when it holds no quote.
QString fileNameFromCommandLine(QString text)
{
    const QChar quote = QLatin1Char('"');
    if (text.contains(quote))
        text = text.mid(text.indexOf(quote) + 1);
    if (text.contains(quote))
        text = text.left(text.indexOf(quote));
    return text;
}

} // namespace

Form1::Form1(DesktopServices& desktop, Registry& registry, QWidget* parent)
    : QMainWindow(parent)
    , m_desktop(desktop)
    , m_registry(registry)
    , m_runner(*this, desktop)
{
    setObjectName(QStringLiteral("Form1"));
    createCommands();
    createParts();
    m_tabs = new QTabWidget;
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    auto* movies = new QWidget;
    auto* general = new QWidget;
    buildMoviesTab(movies);
    buildGeneralTab(general);
    m_tabs->addTab(movies, QStringLiteral("Movies"));
    m_tabs->addTab(general, QStringLiteral("Genral"));
    setCentralWidget(m_tabs);
    m_files =
        new ListFileCommands(desktop, m_catalogue, *m_commands, *m_pageTexts, m_runner, *m_recentMenu, this);
    refreshTitle();
    // Half the usual margin around the tabs: every line counts on a small screen.
    const int margin = style()->pixelMetric(QStyle::PM_LayoutLeftMargin) / 2;
    setContentsMargins(margin, margin, margin, margin);

    // The first start fits the screen, however small; later ones take the size left last time.
    resize(sizeHint().expandedTo(QSize(720, 640)).boundedTo(screen()->availableGeometry().size()));
    const QByteArray geometry =
        QByteArray::fromBase64(m_desktop.readSetting(WindowSection, GeometryKey).toLatin1());
    if (!geometry.isEmpty())
        restoreGeometry(geometry);
    connectParts();
    installUndoKeys();
    startUp();
    m_editor->setShownFields(m_editor->fields());
}

// The parts go while the catalogue and the shell they tell of their changes are whole.
Form1::~Form1()
{
    disconnect(&m_commands->undoStack(), nullptr, this, nullptr);
    delete m_statisticsWindow;
    delete m_files;
    delete takeCentralWidget();
}

QAction* Form1::addCommand(const char* objectName, const QString& text, const std::function<void()>& command)
{
    auto* action = new QAction(text, this);
    action->setObjectName(QLatin1String(objectName));
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(action);
    connect(action, &QAction::triggered, this, m_runner.asCommand(command));
    return action;
}

// One row for each command: its action, object name and caption, the keys that reach it besides
// its button's focus and Space, what it runs, and whether a page run disables it.
void Form1::createCommands()
{
    struct CommandRow
    {
        QAction* Form1::*action;
        const char* objectName;
        const char* text;
        QList<QKeySequence> keys;
        std::function<void()> run;
        bool whileIdle;
    };
    const auto keys = [](QKeyCombination combination) { return QList<QKeySequence>{combination}; };
    const auto standard = [](QKeySequence::StandardKey key) { return QKeySequence::keyBindings(key); };
    // clang-format off
    const CommandRow rows[] = {
        {&Form1::m_moveUp, "actUp", "UP", keys(Qt::ALT | Qt::Key_Up), [this] { m_commands->moveUpCommand(); }, true},
        {&Form1::m_moveDown, "actDown", "DOWN", keys(Qt::ALT | Qt::Key_Down), [this] { m_commands->moveDownCommand(); }, true},
        {&Form1::m_new, "actNew", "New", standard(QKeySequence::New), [this] { m_commands->newCommand(); }, true},
        {&Form1::m_remove, "actRemove", "Remove", standard(QKeySequence::Delete), [this] { m_commands->removeCommand(); }, true},
        {&Form1::m_update, "actUpdate", "Update", keys(Qt::CTRL | Qt::Key_Return), [this] { m_commands->updateCommand(); }, true},
        {&Form1::m_undo, "actUndo", "Undo", UndoKeys, [this] { m_commands->undoCommand(); }, true},
        {&Form1::m_redo, "actRedo", "Redo", RedoKeys, [this] { m_commands->redoCommand(); }, true},
        {&Form1::m_save, "actSave", "Save", keys(Qt::CTRL | Qt::SHIFT | Qt::Key_S), [this] { m_files->saveCommand(); }, true},
        {&Form1::m_saveToCurrentFile, "actSaveToCurrentFile", "Save to the Current File", keys(Qt::CTRL | Qt::Key_S),
         [this] { m_files->saveToCurrentFile(); }, true},
        {&Form1::m_load, "actLoad", "Load", standard(QKeySequence::Open), [this] { m_files->loadCommand(); }, true},
        {&Form1::m_import, "actImport", "Import...", {}, [this] { m_files->importCommand(); }, true},
        {&Form1::m_export, "actExport", "Export...", {}, [this] { m_files->exportCommand(); }, true},
        {&Form1::m_fields, "actFields", "Fields...", {},
         [this] { frmFields(m_catalogue, *m_commands, m_runner, this).exec(); }, true},
        {&Form1::m_makePage, "actMakePage", "Make HTML File", {}, [this] { makePageCommand(); }, true},
        {&Form1::m_stop, "actStop", "Stop", {}, [this] { m_page->stop(); }, false},
        {&Form1::m_openPage, "actOpenPage", "Open Page", {}, [this] { m_page->openPage(); }, false},
        {&Form1::m_showWarnings, "actShowWarnings", "Show &Warnings", {}, [this] { m_page->showWarnings(); }, false},
        {&Form1::m_about, "actAbout", "About", {}, [this] { frmAbout(m_desktop, m_registry, this).exec(); }, false},
        {&Form1::m_webPage, "actWebPage", "WebPage", {}, [this] { m_desktop.openWebAddress(ProductWebAddress); }, false},
        {&Form1::m_exit, "actExit", "Exit", {}, [this] { close(); }, false},
        {&Form1::m_options, "actOptions", "Options", {}, [this] { frmOptions(m_desktop, this).exec(); }, true},
        {&Form1::m_statistics, "actStatistics", "Statistics...", keys(Qt::CTRL | Qt::Key_I),
         [this] { statisticsCommand(); }, false},
    };
    // clang-format on
    m_whileIdle = new QActionGroup(this);
    m_whileIdle->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
    for (const CommandRow& row : rows) {
        QAction* action = addCommand(row.objectName, QString::fromLatin1(row.text), row.run);
        action->setShortcuts(row.keys);
        this->*row.action = action;
        if (row.whileIdle)
            m_whileIdle->addAction(action);
    }
    // Opens the recent lists' menu, which the list file commands fill.
    m_recent = new QAction(QStringLiteral("&Recent"), this);
    m_recent->setObjectName(QStringLiteral("actRecent"));
    m_whileIdle->addAction(m_recent);
    // Ctrl+F shows the list and puts the keyboard in the search field; it changes nothing.
    m_find = new QAction(QStringLiteral("Find"), this);
    m_find->setObjectName(QStringLiteral("actFind"));
    m_find->setShortcut(QKeySequence::Find);
    addAction(m_find);
    connect(m_find, &QAction::triggered, this, [this] {
        m_tabs->setCurrentIndex(0);
        m_commands->focusSearch();
    });
    // Undo and Redo work wherever the window has the keyboard; a text box with typing of its own
    // to take back keeps the keys (installUndoKeys).
    m_undo->setShortcutContext(Qt::WindowShortcut);
    m_redo->setShortcutContext(Qt::WindowShortcut);
    m_stop->setEnabled(false);
    m_openPage->setEnabled(false);
    m_showWarnings->setVisible(false);
}

void Form1::createParts()
{
    m_pageTexts = new PageTexts(m_catalogue);
    m_editor = new FilmEditor(m_desktop, m_catalogue, m_runner);
    m_commands = new CatalogueCommands(m_desktop, m_catalogue, *m_editor, *m_pageTexts, m_runner);
    // Delete removes the picked film when the keyboard is in the list.
    removeAction(m_remove);
    m_commands->addAction(m_remove);
    m_stopButton = commandButton(m_stop, "cmdStop");
    m_page = new PagePanel(m_desktop, m_catalogue, *m_pageTexts, m_stopButton);
}

void Form1::buildMoviesTab(QWidget* tab)
{
    auto* buttons = new QHBoxLayout;
    QPushButton* up = commandButton(m_moveUp, "Command1");
    QPushButton* down = commandButton(m_moveDown, "Command2");
    m_commands->filmList()->disableWhileSorted({m_moveUp, m_moveDown}, {up, down});
    buttons->addWidget(up);
    buttons->addWidget(commandButton(m_update, "Command5"));
    buttons->addWidget(commandButton(m_new, "Command3"));
    buttons->addWidget(commandButton(m_remove, "Command4"));
    buttons->addWidget(down);
    buttons->addWidget(commandButton(m_fields, "cmdFields"));
    buttons->addStretch();
    m_undoButton = commandButton(m_undo, "cmdUndo", QStringLiteral("Undo"));
    m_redoButton = commandButton(m_redo, "cmdRedo", QStringLiteral("Redo"));
    buttons->addWidget(m_undoButton);
    buttons->addWidget(m_redoButton);
    // The list, and the extra fields beside it, take what the window grows by; the editing
    // controls keep their natural height, and the command row under the list leaves room for a
    // small screen.
    auto* lower = new QHBoxLayout;
    lower->addWidget(m_commands, 1);
    lower->addWidget(m_editor->extraFieldEditors(), 1);
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(m_editor);
    layout->addLayout(lower, 1);
    layout->addLayout(buttons);
}

void Form1::buildGeneralTab(QWidget* tab)
{
    auto* files = new QHBoxLayout;
    files->addWidget(commandButton(m_save, "Command6"));
    files->addWidget(commandButton(m_load, "Command7"));
    QPushButton* recent = commandButton(m_recent, "cmdRecent");
    recent->setAccessibleName(QStringLiteral("Recent lists"));
    m_recentMenu = new QMenu(recent);
    m_recentMenu->setObjectName(QStringLiteral("mnuRecent"));
    recent->setMenu(m_recentMenu);
    files->addWidget(recent);
    files->addWidget(commandButton(m_import, "cmdImport"));
    files->addWidget(commandButton(m_export, "cmdExport"));
    files->addStretch();
    files->addWidget(commandButton(m_makePage, "Command8"));
    files->addWidget(commandButton(m_openPage, "cmdOpenPage"));
    files->addWidget(commandButton(m_showWarnings, "cmdShowWarnings"));

    auto* commands = new QHBoxLayout;
    commands->addWidget(commandButton(m_webPage, "Command10"));
    commands->addWidget(commandButton(m_about, "Command9"));
    commands->addWidget(commandButton(m_options, "Command12"));
    commands->addWidget(commandButton(m_statistics, "cmdStatistics"));
    commands->addStretch();
    commands->addWidget(commandButton(m_exit, "Command11"));

    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(m_pageTexts, 1);
    layout->addLayout(files);
    layout->addWidget(m_page);
    layout->addLayout(commands);
}

// How the parts tell the shell of their changes: slots that Qt calls during a command, which note
// a lack of memory for it.
void Form1::connectParts()
{
    const auto refreshMark = m_runner.notingLackOfMemory([this] { refreshModifiedMark(); });
    connect(&m_catalogue, &Catalogue::modifiedChanged, this, refreshMark);
    connect(m_editor, &FilmEditor::editsChanged, this, refreshMark);
    const auto refreshUndo = m_runner.notingLackOfMemory([this] { refreshUndoCommands(); });
    connect(&m_commands->undoStack(), &QUndoStack::indexChanged, this, refreshUndo);
    connect(&m_commands->undoStack(), &QUndoStack::cleanChanged, this, refreshUndo);
    connect(m_commands, &CatalogueCommands::historyChanged, this, refreshUndo);
    // The title names the list file; covers and the columns the user arranged belong to it.
    connect(m_files, &ListFileCommands::currentFileChanged, this, m_runner.notingLackOfMemory([this] {
        refreshTitle();
        m_commands->setListFile(m_files->currentFile());
    }));
    connect(m_files, &ListFileCommands::statusChanged, this, [this](const QString& text) {
        m_runner.notingLackOfMemory([this, &text] { m_page->showStatus(text); })();
    });
    connect(m_files, &ListFileCommands::recentListsChanged, this, [this] {
        m_recent->setEnabled(!m_recentMenu->isEmpty());
    });
    connect(m_page, &PagePanel::pageChanged, this, [this] { refreshPageCommands(); });
    refreshUndoCommands();
}

void Form1::installUndoKeys()
{
    // The list's context menu offers Undo and Redo, named for the step they take.
    m_commands->filmList()->addActions({m_undo, m_redo});
    const QList<QWidget*> fields{m_editor->controls().begin(), m_editor->controls().end()};
    passUndoKeysOn(fields + m_pageTexts->boxes(), this);
}

// ---- the forwarding the tests and the benchmarks use ----

int Form1::selectedPosition() const
{
    return m_commands->selectedPosition();
}

bool Form1::hasPendingEdits() const
{
    return m_commands->hasPendingEdits();
}

QUndoStack& Form1::undoStack()
{
    return m_commands->undoStack();
}

void Form1::setUndoBudget(qsizetype bytes)
{
    m_commands->setUndoBudget(bytes);
}

bool Form1::loadList(const QString& path, ListForm form, bool reportFailure)
{
    return m_files->loadList(path, form, reportFailure);
}

// ---- start-up and shut-down ----

void Form1::startUp()
{
    m_files->refreshRecentMenu();
    m_editor->restoreHistories(readHistory(m_desktop, TypeHistorySection),
                               readHistory(m_desktop, GenreHistorySection));
    const AutoLoadSetting autoLoad = readAutoLoad(m_desktop);
    if (autoLoad.enabled)
        loadAtStartUp(autoLoad.fileName);
    const QString commandLine = m_desktop.commandLine();
    if (!commandLine.isEmpty())
        loadAtStartUp(fileNameFromCommandLine(commandLine));
}

// A missing file, or one whose name ends neither in rkf nor in csv, is passed over in silence; a
// list file that exists and fails to load is told, as when the user loads it.
void Form1::loadAtStartUp(const QString& path)
{
    if (m_desktop.fileExists(path) && formFromFileName(path))
        m_runner.run([this, &path] { m_files->loadList(path, ListForm::FromName, true); });
}

void Form1::storeHistories()
{
    writeHistory(m_desktop, TypeHistorySection, m_editor->typeHistory());
    writeHistory(m_desktop, GenreHistorySection, m_editor->genreHistory());
}

void Form1::closeEvent(QCloseEvent* event)
{
    // A page being made stops first; the window closes once the run has ended.
    if (m_page->isRunning()) {
        m_closeAfterPage = true;
        m_page->stop();
        event->ignore();
        return;
    }
    // A close question whose save runs out of memory keeps the window open.
    bool close = false;
    m_runner.run([this, &close] { close = mayClose(); });
    m_runner.run([this, close] {
        storeHistories();
        if (close)
            m_desktop.writeSetting(
                WindowSection, GeometryKey, QString::fromLatin1(saveGeometry().toBase64()));
    });
    if (close)
        event->accept();
    else
        event->ignore();
}

bool Form1::mayClose()
{
    const bool pendingEdits = m_commands->hasPendingEdits();
    if (!m_catalogue.isModified() && !pendingEdits)
        return true;
    // Typed edits are asked about in the same one question, which offers to store them first.
    QString question = QStringLiteral("Save before exit?");
    if (pendingEdits)
        question += QStringLiteral("\n\n") + EditsNotStored +
                    QStringLiteral(" Yes stores them in the list first, then saves.");
    if (const QString notKept = m_files->notKeptByCurrentFile(); !notKept.isEmpty())
        question += QStringLiteral("\n\n") + notKept + u'.';
    switch (m_desktop.messageBox(question, Buttons::YesNoCancel)) {
    case Answer::Yes:
        // A save that was cancelled or failed keeps the window open rather than drop the films.
        return (!pendingEdits || m_commands->storeFields(m_commands->selectedPosition())) &&
               m_files->saveToCurrentFile();
    case Answer::No:
        return true;
    default:
        return false;
    }
}

// ---- the page ----

void Form1::makePageCommand()
{
    const QString listFile = m_files->currentFile();
    const std::optional<QString> path = m_page->askForPage(listFile);
    if (!path)
        return;
    setBusy(true);
    const PageRunOutcome outcome = m_page->run(*path, listFile);
    setBusy(false);
    m_page->showOutcome(outcome, *path);
    if (m_closeAfterPage) {
        m_closeAfterPage = false;
        close();
    }
}

void Form1::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && m_page->isRunning()) {
        m_page->stop();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void Form1::setBusy(bool busy)
{
    m_whileIdle->setEnabled(!busy);
    m_stop->setEnabled(busy);
    if (busy)
        m_stopButton->setFocus();
}

void Form1::statisticsCommand()
{
    if (!m_statisticsWindow)
        m_statisticsWindow = new frmStatistics(m_catalogue, this);
    m_statisticsWindow->present();
}

// ---- what the commands show ----

void Form1::refreshUndoCommands()
{
    showStepCommand(m_undo, m_undoButton, m_commands->canTakeStep(true), m_commands->undoStack().undoText());
    showStepCommand(m_redo, m_redoButton, m_commands->canTakeStep(false), m_commands->undoStack().redoText());
}

void Form1::refreshPageCommands()
{
    m_openPage->setEnabled(!m_page->writtenPage().isEmpty());
    m_showWarnings->setVisible(!m_page->templateWarnings().isEmpty());
}

void Form1::refreshTitle()
{
    const QString product = QString::fromLatin1(ProductTitle);
    const QString& file = m_files->currentFile();
    // "[*]" is where the window shows its modified mark.
    setWindowTitle(file.isEmpty()
                       ? product + QStringLiteral("[*]")
                       : QStringLiteral("%1[*] \u2014 %2").arg(QFileInfo(file).fileName(), product));
}

void Form1::refreshModifiedMark()
{
    setWindowModified(m_catalogue.isModified() || m_commands->hasPendingEdits());
}

// ---- the command boundary ----

void Form1::noteCommandStart()
{
    m_commands->forgetStepsOfCommand();
    m_commandStart = CommandStart{m_commands->selectedPosition(),
                                  m_editor->fields(),
                                  m_editor->shownFields(),
                                  m_catalogue.isModified(),
                                  m_pageTexts->isEdited()};
}

void Form1::putBackCommand()
{
    // A page run ended by the lack of memory has closed its files; the commands work again.
    m_closeAfterPage = false;
    setBusy(false);
    m_commands->takeBackStepsOfCommand();
    const CommandStart& start = *m_commandStart;
    m_commands->selectFilm(start.selected, false);
    m_editor->setFields(start.fields);
    m_editor->setShownFields(start.shownFields);
    m_pageTexts->setEdited(start.pageTextsEdited);
    m_catalogue.setModified(start.modified);
    refreshModifiedMark();
    refreshUndoCommands();
}

} // namespace reelkeep
