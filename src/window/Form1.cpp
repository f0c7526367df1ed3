// The main window: builds the two tabs, runs the catalogue commands, start-up and shut-down.
#include "window/Form1.h"

#include "about/Product.h"
#include "about/Version.h"
#include "about/widgets/frmAbout.h"
#include "catalogue/History.h"
#include "pagegen/PageRun.h"
#include "pagegen/widgets/frmWarnings.h"
#include "storage/SettingsEntries.h"
#include "storage/widgets/frmOptions.h"
#include "window/PosterFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace reelkeep {

namespace {

const QString Crlf = QStringLiteral("\r\n");

/// The window's size and place on the screen, kept from one run to the next.
const QString WindowSection = QStringLiteral("Window");
const QString GeometryKey = QStringLiteral("Geometry");

QLineEdit* makeLineEdit(const char* objectName)
{
    auto* edit = new QLineEdit;
    edit->setObjectName(QLatin1String(objectName));
    return edit;
}

/// A multi-line box that asks for four lines, not a page: the window grows it as it grows.
class MultiLineBox : public QPlainTextEdit
{
public:
    QSize sizeHint() const override
    {
        const QSize page = QPlainTextEdit::sizeHint();
        return {page.width(), fontMetrics().lineSpacing() * 4 + 2 * frameWidth() + 8};
    }
    QSize minimumSizeHint() const override { return {sizeHint().width() / 2, sizeHint().height() * 3 / 4}; }
};

QPlainTextEdit* makeTextBox(const char* objectName)
{
    auto* box = new MultiLineBox;
    box->setObjectName(QLatin1String(objectName));
    box->setTabChangesFocus(true);
    return box;
}

QComboBox* makeHistoryBox(const char* objectName)
{
    auto* box = new QComboBox;
    box->setObjectName(QLatin1String(objectName));
    box->setEditable(true);
    // The history grows only through Update, never by pressing Enter in the box.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return box;
}

/// What every question about typed edits begins with.
const QString EditsNotStored =
    QStringLiteral("The edits typed into the film's fields are not in the list yet.");

const QList<QKeySequence> UndoKeys{QKeySequence(Qt::CTRL | Qt::Key_Z)};
const QList<QKeySequence> RedoKeys{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                   QKeySequence(Qt::CTRL | Qt::Key_Y)};

/// Lets Undo and Redo reach the catalogue from a text box that has no typing of its own to take
/// back; a box with typing to take back keeps its own Undo and Redo.
class CatalogueUndoFromTextBoxes : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::ShortcutOverride)
            return false;
        const QKeySequence keys(static_cast<QKeyEvent*>(event)->keyCombination());
        const bool undo = UndoKeys.contains(keys);
        if ((!undo && !RedoKeys.contains(keys)) || hasTypingToStep(watched, undo))
            return false;
        // Not taken by the box, the keys go on to the window's shortcut.
        event->ignore();
        return true;
    }

private:
    static bool hasTypingToStep(QObject* box, bool back)
    {
        if (auto* combo = qobject_cast<QComboBox*>(box))
            box = combo->lineEdit();
        if (auto* edit = qobject_cast<QLineEdit*>(box))
            return back ? edit->isUndoAvailable() : edit->isRedoAvailable();
        const QTextDocument* text = static_cast<QPlainTextEdit*>(box)->document();
        return back ? text->isUndoAvailable() : text->isRedoAvailable();
    }
};

/// Shows a film without a title as "(no title)" in a dimmed style, so that its line can be seen
/// and picked; the title itself stays empty.
class FilmLineDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!option->text.isEmpty())
            return;
        option->features |= QStyleOptionViewItem::HasDisplay;
        option->text = NoTitleText;
        option->font.setItalic(true);
        option->palette.setBrush(QPalette::Text, option->palette.brush(QPalette::PlaceholderText));
    }
};

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
    , m_listDialog{QString(),
                   QStringLiteral("Reelkeep File(*.rkf)|*.rkf|Coma Delimited (*.csv)|*.csv"),
                   QStringLiteral("rkf"),
                   QStringLiteral("*.rkf"),
                   1}
    , m_pageDialog{QStringLiteral("Make HTML"),
                   QStringLiteral("*.html|*.html"),
                   QStringLiteral("html"),
                   QString(),
                   1}
    , m_importDialog{QStringLiteral("Import Films"),
                     QStringLiteral("Delimited text (*.csv *.tsv *.txt)|*.csv *.tsv *.txt|All files (*)|*"),
                     QString(),
                     QString(),
                     1}
    , m_functions([&desktop] { return desktop.now(); })
    , m_evaluator(&m_functions, &m_pageHost)
    , m_pageHost(*this, m_filter, m_evaluator, desktop.applicationFolder() + QStringLiteral("/template"))
{
    setObjectName(QStringLiteral("Form1"));
    m_undo.setUndoLimit(UndoLimit);
    refreshTitle();

    m_tabs = new QTabWidget;
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    auto* movies = new QWidget;
    auto* general = new QWidget;
    buildMoviesTab(movies);
    buildGeneralTab(general);
    m_tabs->addTab(movies, QStringLiteral("Movies"));
    m_tabs->addTab(general, QStringLiteral("Genral"));
    setCentralWidget(m_tabs);
    // Half the usual margin around the tabs: every line counts on a small screen.
    const int margin = style()->pixelMetric(QStyle::PM_LayoutLeftMargin) / 2;
    setContentsMargins(margin, margin, margin, margin);

    // The first start fits the screen, however small; later ones take the size left last time.
    resize(sizeHint().expandedTo(QSize(720, 640)).boundedTo(screen()->availableGeometry().size()));
    const QByteArray geometry =
        QByteArray::fromBase64(m_desktop.readSetting(WindowSection, GeometryKey).toLatin1());
    if (!geometry.isEmpty())
        restoreGeometry(geometry);
    connectCommands();
    connectUndo();
    connectSearch();
    connectCompletion();
    connectPoster();
    startUp();
    m_shownFields = recordFromControls();
}

QPushButton* Form1::makeButton(const char* objectName, const QString& caption)
{
    auto* button = new QPushButton(caption);
    button->setObjectName(QLatin1String(objectName));
    button->setAutoDefault(false);
    return button;
}

void Form1::buildMoviesTab(QWidget* tab)
{
    m_type = makeHistoryBox("mType");
    m_genre = makeHistoryBox("mGenre");
    // ORDER Field
    m_fieldControls = {makeLineEdit("mTitle"),
                       makeLineEdit("mRelease"),
                       m_type,
                       makeLineEdit("mTime"),
                       m_genre,
                       makeLineEdit("mDate"),
                       makeTextBox("mPlot"),
                       makeTextBox("mComment"),
                       makeTextBox("mCast"),
                       makeLineEdit("mImgSrc"),
                       makeLineEdit("mImgLink"),
                       makeLineEdit("mWebText1"),
                       makeLineEdit("mWebURL1"),
                       makeLineEdit("mWebText2"),
                       makeLineEdit("mWebURL2"),
                       makeLineEdit("mWebText3"),
                       makeLineEdit("mWebURL3")};
    const auto control = [this](Field field) { return m_fieldControls[static_cast<size_t>(field)]; };

    auto* facts = new QFormLayout;
    facts->addRow(QStringLiteral("Title:"), control(Field::Title));
    facts->addRow(QStringLiteral("Release:"), control(Field::Release));
    facts->addRow(QStringLiteral("Type:"), control(Field::Type));
    facts->addRow(QStringLiteral("Time:"), control(Field::Time));
    facts->addRow(QStringLiteral("Genre"), control(Field::Genre));
    facts->addRow(QStringLiteral("Date:"), control(Field::Date));
    auto* texts = new QFormLayout;
    texts->addRow(QStringLiteral("Plot:"), control(Field::Plot));
    texts->addRow(QStringLiteral("Comment:"), control(Field::Comment));
    texts->addRow(QStringLiteral("Cast:"), control(Field::Cast));
    auto* columns = new QHBoxLayout;
    columns->addLayout(facts, 1);
    columns->addLayout(texts, 1);

    m_poster = new PosterFrame;
    PosterFrame* image = m_poster;
    image->setObjectName(QStringLiteral("Frame2"));
    QFormLayout* imageLayout = image->fields();
    imageLayout->addRow(QStringLiteral("Source"), control(Field::ImgSrc));
    imageLayout->addRow(QStringLiteral("Link URL"), control(Field::ImgLink));

    auto* webSites = new QGroupBox(QStringLiteral("Web Sites:"));
    webSites->setObjectName(QStringLiteral("Frame1"));
    auto* webLayout = new QGridLayout(webSites);
    webLayout->setVerticalSpacing(style()->pixelMetric(QStyle::PM_LayoutVerticalSpacing) / 2);
    webLayout->addWidget(new QLabel(QStringLiteral("Text:")), 0, 0);
    webLayout->addWidget(new QLabel(QStringLiteral("URL")), 0, 1);
    for (int row = 0; row < 3; ++row) {
        QWidget* text = control(fieldAt(static_cast<int>(Field::WebText1) + 2 * row));
        QWidget* url = control(fieldAt(static_cast<int>(Field::WebUrl1) + 2 * row));
        // One caption heads each column, so every box is named for itself.
        text->setAccessibleName(QStringLiteral("Web site %1 text").arg(row + 1));
        url->setAccessibleName(QStringLiteral("Web site %1 URL").arg(row + 1));
        webLayout->addWidget(text, row + 1, 0);
        webLayout->addWidget(url, row + 1, 1);
    }
    auto* frames = new QHBoxLayout;
    frames->addWidget(image, 2);
    frames->addWidget(webSites, 3);

    m_list = new QListView;
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setAccessibleName(QStringLiteral("Films"));
    m_list->setModel(&m_catalogue);
    m_list->setItemDelegate(new FilmLineDelegate(m_list));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setUniformItemSizes(true);
    // Three lines at least; the rest of the window's height when it grows.
    m_list->setMinimumHeight(m_list->fontMetrics().lineSpacing() * 3 + 2 * m_list->frameWidth());
    // The list takes what the window grows by; the editing controls keep their natural height,
    // and the command row under the list leaves room for a small screen.
    auto* layout = new QVBoxLayout(tab);
    layout->addLayout(columns);
    layout->addLayout(frames);
    layout->addLayout(buildSearchBar());
    layout->addWidget(m_list, 1);
    layout->addLayout(buildCatalogueButtons());
}

QLayout* Form1::buildCatalogueButtons()
{
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(makeButton("Command1", QStringLiteral("UP")));
    buttons->addWidget(makeButton("Command5", QStringLiteral("Update")));
    buttons->addWidget(makeButton("Command3", QStringLiteral("New")));
    buttons->addWidget(makeButton("Command4", QStringLiteral("Remove")));
    buttons->addWidget(makeButton("Command2", QStringLiteral("DOWN")));
    buttons->addStretch();
    m_undoButton = makeButton("cmdUndo", QStringLiteral("Undo"));
    m_redoButton = makeButton("cmdRedo", QStringLiteral("Redo"));
    buttons->addWidget(m_undoButton);
    buttons->addWidget(m_redoButton);
    return buttons;
}

void Form1::buildGeneralTab(QWidget* tab)
{
    m_pageTitle = makeLineEdit("gTitle");
    m_pageTitle->setText(DefaultPageTitle);
    m_pageDescription = makeTextBox("gDescription");
    auto* texts = new QFormLayout;
    texts->addRow(QStringLiteral("Title:"), m_pageTitle);
    texts->addRow(QStringLiteral("Description:"), m_pageDescription);

    auto* files = new QHBoxLayout;
    files->addWidget(makeButton("Command6", QStringLiteral("Save")));
    files->addWidget(makeButton("Command7", QStringLiteral("Load")));
    m_recent = makeButton("cmdRecent", QStringLiteral("&Recent"));
    m_recent->setAccessibleName(QStringLiteral("Recent lists"));
    m_recentMenu = new QMenu(m_recent);
    m_recentMenu->setObjectName(QStringLiteral("mnuRecent"));
    m_recent->setMenu(m_recentMenu);
    files->addWidget(m_recent);
    files->addWidget(makeButton("cmdImport", QStringLiteral("Import...")));
    files->addStretch();
    files->addWidget(makeButton("Command8", QStringLiteral("Make HTML File")));
    m_openPage = makeButton("cmdOpenPage", QStringLiteral("Open Page"));
    m_openPage->setEnabled(false);
    files->addWidget(m_openPage);
    m_showWarnings = makeButton("cmdShowWarnings", QStringLiteral("Show &Warnings"));
    m_showWarnings->setVisible(false);
    files->addWidget(m_showWarnings);
    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_status->setAccessibleDescription(QStringLiteral("What the last command did"));
    m_status->setWordWrap(true);

    m_label = new QLabel;
    m_label->setObjectName(QStringLiteral("iLabel"));
    m_label->setAccessibleDescription(QStringLiteral("Page status"));
    m_progress = new QProgressBar;
    m_progress->setObjectName(QStringLiteral("iProgress"));
    m_progress->setAccessibleName(QStringLiteral("Page progress"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_stop = makeButton("cmdStop", QStringLiteral("Stop"));
    m_stop->setEnabled(false);
    auto* progress = new QHBoxLayout;
    progress->addWidget(m_progress, 1);
    progress->addWidget(m_stop);

    auto* commands = new QHBoxLayout;
    commands->addWidget(makeButton("Command10", QStringLiteral("WebPage")));
    commands->addWidget(makeButton("Command9", QStringLiteral("About")));
    commands->addWidget(makeButton("Command12", QStringLiteral("Options")));
    commands->addStretch();
    commands->addWidget(makeButton("Command11", QStringLiteral("Exit")));

    auto* layout = new QVBoxLayout(tab);
    layout->addLayout(texts, 1);
    layout->addLayout(files);
    layout->addWidget(m_status);
    layout->addWidget(m_label);
    layout->addLayout(progress);
    layout->addLayout(commands);
}

void Form1::connectCommands()
{
    const auto onClick = [this](const char* name, auto command) {
        connect(
            findChild<QPushButton*>(QLatin1String(name)), &QPushButton::clicked, this, asCommand(command));
    };
    onClick("Command1", &Form1::moveUpCommand);
    onClick("Command2", &Form1::moveDownCommand);
    onClick("Command3", &Form1::newCommand);
    onClick("Command4", &Form1::removeCommand);
    onClick("Command5", &Form1::updateCommand);
    onClick("Command7", &Form1::loadCommand);
    onClick("cmdImport", &Form1::importCommand);
    onClick("Command8", &Form1::makePageCommand);
    onClick("cmdStop", &Form1::stopPage);
    onClick("cmdOpenPage",
            [this] { m_desktop.openWebAddress(QUrl::fromLocalFile(m_writtenPage).toString()); });
    onClick("cmdShowWarnings", [this] {
        frmWarnings warnings(m_templateWarnings, this);
        warnings.exec();
    });
    onClick("cmdUndo", &Form1::undoCommand);
    onClick("cmdRedo", &Form1::redoCommand);
    onClick("Command6", [this] { saveCommand(); });
    onClick("Command9", [this] {
        frmAbout about(m_desktop, m_registry, this);
        about.exec();
    });
    onClick("Command10", [this] { m_desktop.openWebAddress(ProductWebAddress); });
    onClick("Command11", [this] { close(); });
    onClick("Command12", [this] {
        frmOptions options(m_desktop, this);
        options.exec();
    });

    connect(m_list->selectionModel(),
            &QItemSelectionModel::selectionChanged,
            this,
            [this](const QItemSelection&, const QItemSelection& deselected) {
                runCommand([this, &deselected] { selectionChanged(deselected); });
            });
    // Every change the native list file stores marks the catalogue as changed.
    const auto pageTextsEdited = [this] {
        if (m_fillingPageTexts)
            return;
        m_pageTextsEdited = true;
        m_catalogue.setModified(true);
    };
    connect(m_pageTitle, &QLineEdit::textEdited, this, pageTextsEdited);
    connect(m_pageDescription, &QPlainTextEdit::textChanged, this, pageTextsEdited);
    // The title's mark follows the typing as well as the catalogue.
    const auto refreshMark = notingLackOfMemory(&Form1::refreshModifiedMark);
    connect(&m_catalogue, &Catalogue::modifiedChanged, this, refreshMark);
    for (QWidget* control : m_fieldControls) {
        if (auto* edit = qobject_cast<QLineEdit*>(control))
            connect(edit, &QLineEdit::textChanged, this, refreshMark);
        else if (auto* box = qobject_cast<QComboBox*>(control))
            connect(box, &QComboBox::editTextChanged, this, refreshMark);
        else
            connect(static_cast<QPlainTextEdit*>(control), &QPlainTextEdit::textChanged, this, refreshMark);
    }

    // Keyboard ways to the catalogue commands, besides the buttons' own focus and Space.
    const auto shortcut = [this](QKeySequence keys, QWidget* scope, auto command) {
        auto* action = new QShortcut(keys, scope);
        action->setContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QShortcut::activated, this, asCommand(command));
    };
    shortcut(QKeySequence::New, this, &Form1::newCommand);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Return), this, &Form1::updateCommand);
    shortcut(QKeySequence(Qt::ALT | Qt::Key_Up), this, &Form1::moveUpCommand);
    shortcut(QKeySequence(Qt::ALT | Qt::Key_Down), this, &Form1::moveDownCommand);
    shortcut(QKeySequence::Delete, m_list, &Form1::removeCommand);
    shortcut(QKeySequence::Open, this, &Form1::loadCommand);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this, [this] { saveToCurrentFile(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), this, [this] { saveCommand(); });
}

void Form1::connectUndo()
{
    m_undoAction = new QAction(QStringLiteral("Undo"), this);
    m_redoAction = new QAction(QStringLiteral("Redo"), this);
    m_undoAction->setShortcuts(UndoKeys);
    m_redoAction->setShortcuts(RedoKeys);
    connect(m_undoAction, &QAction::triggered, this, asCommand(&Form1::undoCommand));
    connect(m_redoAction, &QAction::triggered, this, asCommand(&Form1::redoCommand));
    addAction(m_undoAction);
    addAction(m_redoAction);
    // The list's context menu offers them too, named for the step they take.
    m_list->addAction(m_undoAction);
    m_list->addAction(m_redoAction);
    m_list->setContextMenuPolicy(Qt::ActionsContextMenu);

    auto* textBoxes = new CatalogueUndoFromTextBoxes(this);
    const QList<QWidget*> boxes{m_fieldControls.begin(), m_fieldControls.end()};
    for (QWidget* box : boxes + QList<QWidget*>{m_pageTitle, m_pageDescription})
        box->installEventFilter(textBoxes);

    connect(&m_undo, &QUndoStack::indexChanged, this, notingLackOfMemory(&Form1::refreshUndoControls));
    connect(&m_undo, &QUndoStack::cleanChanged, this, notingLackOfMemory(&Form1::refreshUndoControls));
    refreshUndoControls();
}

// ---- start-up and shut-down ----

void Form1::startUp()
{
    refreshRecentMenu();
    restoreHistories();
    loadAutoLoadFile();
    loadCommandLineFile();
}

void Form1::restoreHistories()
{
    m_type->addItems(readHistory(m_desktop, TypeHistorySection));
    m_genre->addItems(readHistory(m_desktop, GenreHistorySection));
    m_type->setEditText(QString());
    m_genre->setEditText(QString());
}

void Form1::loadAutoLoadFile()
{
    const AutoLoadSetting autoLoad = readAutoLoad(m_desktop);
    if (autoLoad.enabled)
        loadAtStartUp(autoLoad.fileName);
}

void Form1::loadCommandLineFile()
{
    const QString text = m_desktop.commandLine();
    if (!text.isEmpty())
        loadAtStartUp(fileNameFromCommandLine(text));
}

// A missing file, or one whose name ends neither in rkf nor in csv, is passed over in silence; a
// list file that exists and fails to load is told, as when the user loads it.
void Form1::loadAtStartUp(const QString& path)
{
    if (m_desktop.fileExists(path) && formFromFileName(path))
        runCommand([this, &path] { loadList(path, ListForm::FromName, true); });
}

static QStringList historyOf(const QComboBox* box)
{
    QStringList history;
    for (int i = 0; i < box->count(); ++i)
        history.append(box->itemText(i));
    return history;
}

void Form1::storeHistories()
{
    writeHistory(m_desktop, TypeHistorySection, historyOf(m_type));
    writeHistory(m_desktop, GenreHistorySection, historyOf(m_genre));
}

void Form1::closeEvent(QCloseEvent* event)
{
    // A page being made stops first; the window closes once the run has ended.
    if (isMakingPage()) {
        m_closeAfterPage = true;
        stopPage();
        event->ignore();
        return;
    }
    // A close question whose save runs out of memory keeps the window open.
    bool close = false;
    runCommand([this, &close] { close = mayClose(); });
    runCommand([this, close] {
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
    const bool pendingEdits = hasPendingEdits();
    if (!m_catalogue.isModified() && !pendingEdits)
        return true;
    // Typed edits are asked about in the same one question, which offers to store them first.
    QString question = QStringLiteral("Save before exit?");
    if (pendingEdits)
        question += QStringLiteral("\n\n") + EditsNotStored +
                    QStringLiteral(" Yes stores them in the list first, then saves.");
    if (!m_currentFile.isEmpty() && m_currentForm == ListForm::CommaSeparated && !pageTextsAreNew())
        question += QStringLiteral("\n\nThe .csv form does not keep the page title and description.");
    switch (m_desktop.messageBox(question, Buttons::YesNoCancel)) {
    case Answer::Yes:
        // A save that was cancelled or failed keeps the window open rather than drop the films.
        return (!pendingEdits || storeFields(selectedPosition())) && saveToCurrentFile();
    case Answer::No:
        return true;
    default:
        return false;
    }
}

// ---- running commands ----

struct Form1::CommandStart
{
    int selected;
    FilmRecord fields;
    FilmRecord shownFields;
    bool modified;
    bool pageTextsEdited;
};

void Form1::runCommand(const std::function<void()>& command)
{
    ++m_commandDepth;
    const auto leave = qScopeGuard([this] { --m_commandDepth; });
    if (m_commandDepth > 1) {
        // Inside another command, which puts back what both changed.
        try {
            command();
        } catch (const std::bad_alloc&) {
            m_memoryRanOut = true;
        }
        return;
    }
    m_memoryRanOut = false;
    m_stepsOfCommand.clear();
    try {
        const CommandStart start{selectedPosition(),
                                 recordFromControls(),
                                 m_shownFields,
                                 m_catalogue.isModified(),
                                 m_pageTextsEdited};
        try {
            command();
            if (!m_memoryRanOut)
                return;
        } catch (const std::bad_alloc&) {
        }
        putBack(start);
        tell(QStringLiteral("There was not enough memory for the command, so it was stopped. The list "
                            "and the fields are as they were before it."));
    } catch (const std::bad_alloc&) {
        // Not even the words to say it: the window goes on as it is.
    }
}

void Form1::putBack(const CommandStart& start)
{
    // A page run ended by the lack of memory has closed its files; the commands work again.
    m_closeAfterPage = false;
    setCommandsEnabled(true);
    for (qsizetype i = m_stepsOfCommand.size(); i > 0 && m_undo.canUndo(); --i) {
        m_undo.undo();
        m_stepsOfCommand.at(i - 1)->setObsolete(true);
    }
    m_stepsOfCommand.clear();
    selectFilm(start.selected, false);
    for (int i = 0; i < FieldCount; ++i)
        setFieldText(fieldAt(i), start.fields[fieldAt(i)]);
    m_shownFields = start.shownFields;
    m_pageTextsEdited = start.pageTextsEdited;
    m_catalogue.setModified(start.modified);
    refreshModifiedMark();
    refreshUndoControls();
}

// ---- the catalogue commands ----

int Form1::selectedPosition() const
{
    const QModelIndexList selected = m_list->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.constFirst().row();
}

void Form1::setSelectedPosition(int position)
{
    QItemSelectionModel* selection = m_list->selectionModel();
    if (position < 0) {
        selection->clear();
        return;
    }
    const QModelIndex line = m_catalogue.index(position);
    selection->setCurrentIndex(line, QItemSelectionModel::ClearAndSelect);
    m_list->scrollTo(line);
}

void Form1::selectFilm(int position, bool showIt)
{
    // A command or an undo step that selects a film the search hides shows every film again.
    if (position >= 0 && m_list->isRowHidden(position))
        m_search->clear();
    {
        const QScopedValueRollback byCommand(m_selectingByCommand, true);
        setSelectedPosition(position);
    }
    if (showIt && position >= 0)
        showRecord(m_catalogue.at(position));
}

// Select: the user picked a film in List1.
void Form1::selectionChanged(const QItemSelection& deselected)
{
    const int position = selectedPosition();
    if (m_selectingByCommand || position < 0)
        return;
    const int previous = deselected.isEmpty() ? -1 : deselected.indexes().constFirst().row();
    if (!settlePendingEdits(QStringLiteral("showing another film"), previous)) {
        selectFilm(previous, false);
        return;
    }
    showRecord(m_catalogue.at(position));
}

bool Form1::hasPendingEdits() const
{
    const FilmRecord fields = recordFromControls();
    if (fields == m_shownFields)
        return false;
    // With no film picked, fields that show a film of the list exactly hold nothing to store:
    // Update could only add it again.
    return selectedPosition() >= 0 || !m_catalogue.entries().contains(fields);
}

bool Form1::settlePendingEdits(const QString& beforeWhat, int storeAt)
{
    if (!hasPendingEdits())
        return true;
    const QString question = EditsNotStored + QStringLiteral(" Store them before %1?").arg(beforeWhat);
    switch (m_desktop.messageBox(question, Buttons::StoreDiscardCancel)) {
    case Answer::Yes:
        return storeFields(storeAt);
    case Answer::No:
        showRecord(m_shownFields);
        return true;
    default:
        return false;
    }
}

void Form1::clearEditor()
{
    selectFilm(-1, false);
    showRecord(FilmRecord());
    m_fieldControls[0]->setFocus();
}

void Form1::newCommand()
{
    if (isMakingPage() || !settlePendingEdits(QStringLiteral("emptying the fields"), selectedPosition()))
        return;
    clearEditor();
}

bool Form1::appendFilms(const QList<FilmRecord>& films, const QString& stepText)
{
    if (films.size() > Catalogue::MaxEntries - m_catalogue.count())
        return false;
    pushStep(new AddFilms(m_catalogue, *this, m_catalogue.count(), films, stepText));
    m_catalogue.setModified(true);
    return true;
}

bool Form1::storeFields(int position)
{
    const FilmRecord film = recordFromControls();
    // A second copy of a film is seldom meant: Update after Update adds the film it just stored.
    if (position < 0 && m_catalogue.entries().contains(film) &&
        m_desktop.messageBox(QStringLiteral("This film is already in the list. Add it again?"),
                             Buttons::YesNo) != Answer::Yes)
        return false;
    rememberComboText(m_type);
    rememberComboText(m_genre);
    // A picked film stored unchanged leaves nothing to save and no step to take back.
    if (position >= 0 && film == m_catalogue.at(position))
        return true;
    m_catalogue.setModified(true);
    if (position >= 0) {
        pushStep(new ReplaceFilm(m_catalogue, *this, position, film));
    } else if (!appendFilms({film}, stepText(QStringLiteral("Update"), film.title()))) {
        tell(QStringLiteral("The list is full: it holds %1 films, the most a list can hold. "
                            "The film was not added.")
                 .arg(QLocale(QLocale::English).toString(Catalogue::MaxEntries)));
        return false;
    }
    m_shownFields = film;
    refreshModifiedMark();
    return true;
}

void Form1::updateCommand()
{
    if (isMakingPage())
        return;
    const int position = selectedPosition();
    if (!storeFields(position))
        return;
    if (position < 0)
        clearEditor();
    else
        selectFilm(-1, false);
}

void Form1::removeCommand()
{
    if (isMakingPage())
        return;
    const int position = selectedPosition();
    if (position < 0)
        return;
    // The typed edits go with the film; Undo brings the film back as it was stored.
    pushStep(new RemoveFilm(m_catalogue, *this, position));
    m_catalogue.setModified(true);
    clearEditor();
}

void Form1::moveUpCommand()
{
    const int position = selectedPosition();
    if (position >= 1)
        moveFilm(position - 1, ExchangeFilms::Moved::Up);
}

void Form1::moveDownCommand()
{
    const int position = selectedPosition();
    if (position >= 0 && position < m_catalogue.lastIndex())
        moveFilm(position, ExchangeFilms::Moved::Down);
}

void Form1::moveFilm(int position, ExchangeFilms::Moved moved)
{
    if (isMakingPage())
        return;
    pushStep(new ExchangeFilms(m_catalogue, *this, position, moved));
    m_catalogue.setModified(true);
    // The moved film stays selected; typed edits to it stay in the fields.
    selectFilm(moved == ExchangeFilms::Moved::Up ? position : position + 1, !hasPendingEdits());
}

void Form1::undoCommand()
{
    takeStep(true);
}

void Form1::redoCommand()
{
    takeStep(false);
}

void Form1::takeStep(bool back)
{
    if (isMakingPage() || !canTakeStep(back))
        return;
    if (hasPendingEdits()) {
        const QString command = back ? QStringLiteral("Undo") : QStringLiteral("Redo");
        const QString question =
            EditsNotStored + QStringLiteral(" %1 discards them. %1 all the same?").arg(command);
        if (m_desktop.messageBox(question, Buttons::YesNo) != Answer::Yes)
            return;
        showRecord(m_shownFields);
    }
    if (back)
        m_undo.undo();
    else
        m_undo.redo();
    // Back at the last native save or load, nothing is left to save; anywhere else the catalogue
    // differs from the file.
    m_catalogue.setModified(!m_undo.isClean() || m_pageTextsEdited);
}

void Form1::pushStep(CatalogueStep* step)
{
    m_undo.push(step);
    m_stepsOfCommand.append(step);
    m_stepBudget.add(step);
    refreshUndoControls();
}

bool Form1::canTakeStep(bool back) const
{
    // A step taken back when its command ran out of memory is not done again.
    if (!back)
        return m_undo.canRedo() && !m_undo.command(m_undo.index())->isObsolete();
    return m_undo.canUndo() &&
           !static_cast<const CatalogueStep*>(m_undo.command(m_undo.index() - 1))->isForgotten();
}

void Form1::showFilm(int position)
{
    if (position >= 0) {
        selectFilm(position, true);
        return;
    }
    selectFilm(-1, false);
    showRecord(FilmRecord());
}

void Form1::rememberComboText(QComboBox* box)
{
    const QString text = box->currentText();
    QStringList history = historyOf(box);
    rememberInHistory(history, text);
    box->clear();
    box->addItems(history);
    box->setEditText(text);
}

// ---- the editing controls ----

QString Form1::fieldText(Field field) const
{
    QWidget* control = m_fieldControls[static_cast<size_t>(field)];
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return edit->text();
    if (auto* box = qobject_cast<QComboBox*>(control))
        return box->currentText();
    const QString text = static_cast<QPlainTextEdit*>(control)->toPlainText();
    const QString& lineBreak = m_lineBreaks[static_cast<size_t>(field)];
    return lineBreak.isEmpty() ? text : QString(text).replace(QLatin1Char('\n'), lineBreak);
}

void Form1::setFieldText(Field field, const QString& text)
{
    QWidget* control = m_fieldControls[static_cast<size_t>(field)];
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(text);
        edit->setCursorPosition(0);
    } else if (auto* box = qobject_cast<QComboBox*>(control)) {
        box->setEditText(text);
    } else {
        // A film whose lines end in CR LF keeps them when it is updated.
        m_lineBreaks[static_cast<size_t>(field)] = text.contains(Crlf) ? Crlf : QString();
        static_cast<QPlainTextEdit*>(control)->setPlainText(text);
    }
}

FilmRecord Form1::recordFromControls() const
{
    FilmRecord film;
    for (int i = 0; i < FieldCount; ++i)
        film[fieldAt(i)] = fieldText(fieldAt(i));
    return film;
}

void Form1::showRecord(const FilmRecord& film)
{
    for (int i = 0; i < FieldCount; ++i)
        setFieldText(fieldAt(i), film[fieldAt(i)]);
    // What the fields hold now, as they give it back, is what a pending edit differs from.
    m_shownFields = recordFromControls();
    refreshModifiedMark();
}

// ---- the title and the undo controls ----

void Form1::refreshTitle()
{
    const QString product = QString::fromLatin1(ProductTitle);
    // "[*]" is where the window shows its modified mark.
    setWindowTitle(m_currentFile.isEmpty()
                       ? product + QStringLiteral("[*]")
                       : QStringLiteral("%1[*] \u2014 %2").arg(QFileInfo(m_currentFile).fileName(), product));
    // A relative Source names a picture in the current file's folder.
    if (m_poster)
        refreshPoster();
}

void Form1::refreshModifiedMark()
{
    setWindowModified(m_catalogue.isModified() || hasPendingEdits());
}

void Form1::refreshUndoControls()
{
    const auto refresh = [this](QAction* action, QPushButton* button, bool can, const QString& step) {
        const QString named = step.isEmpty() ? button->text() : button->text() + QLatin1Char(' ') + step;
        action->setEnabled(m_commandsEnabled && can);
        action->setText(named);
        button->setEnabled(m_commandsEnabled && can);
        button->setToolTip(named);
        button->setAccessibleDescription(named);
    };
    refresh(m_undoAction, m_undoButton, canTakeStep(true), m_undo.undoText());
    refresh(m_redoAction, m_redoButton, canTakeStep(false), m_undo.redoText());
}

// ---- the page ----

void Form1::makePageCommand()
{
    if (isMakingPage())
        return;
    if (!m_desktop.saveFileDialog(m_pageDialog) || m_pageDialog.fileName.isEmpty())
        return;
    const QString path = m_pageDialog.fileName;
    const QString templateFolder = m_desktop.applicationFolder() + QStringLiteral("/template");
    // Refused before "Replace File?": the answer could not make such a page.
    if (const std::optional<QString> refusal = refusedPageOutput(path, templateFolder, m_currentFile)) {
        tell(QStringLiteral("The page was not made: %1.").arg(*refusal));
        return;
    }
    if (m_desktop.fileExists(path) &&
        m_desktop.messageBox(QStringLiteral("Replace File?"), Buttons::YesNo) != Answer::Yes)
        return;
    m_pageHost.setTemplateFolder(templateFolder);
    m_filter.setYield([this] { m_desktop.yield(); });
    setCommandsEnabled(false);
    m_openPage->setEnabled(false);
    m_showWarnings->setVisible(false);
    m_status->clear();
    const PageRunOutcome outcome =
        runPage(m_filter, m_evaluator, m_pageHost.templateFolder(), path, m_currentFile);
    setCommandsEnabled(true);
    switch (outcome.result) {
    case PageRunOutcome::Result::Made:
        // iLabel keeps what the template last set; the line above it names the page.
        m_writtenPage = QFileInfo(path).absoluteFilePath();
        m_status->setText(QStringLiteral("Page written: %1").arg(QDir::toNativeSeparators(m_writtenPage)));
        m_openPage->setEnabled(true);
        break;
    case PageRunOutcome::Result::Stopped:
        // The user asked for it: the label says so, and nothing needs answering.
        m_label->setText(outcome.describe());
        break;
    case PageRunOutcome::Result::TemplateMissing:
    case PageRunOutcome::Result::Refused:
    case PageRunOutcome::Result::PageNotCreated:
        tell(QStringLiteral("The page was not made: %1.").arg(outcome.describe()));
        break;
    case PageRunOutcome::Result::Abandoned:
        // A page file that could not take the whole page is left as it was.
        tell((outcome.reason.isEmpty()
                  ? QStringLiteral("The page stopped with %1. It holds what was written up to there.")
                  : QStringLiteral("The page was not made: %1."))
                 .arg(outcome.describe()));
        break;
    }
    showTemplateWarnings(outcome.templateWarnings);
    // Templates read, but not as written: the page may show U+FFFD where their author saw text.
    for (const QString& warning : outcome.warnings)
        tell(QStringLiteral("%1.").arg(warning));
    if (m_closeAfterPage) {
        m_closeAfterPage = false;
        close();
    }
}

// The count goes on the line that names the page, and Show Warnings lists them: a page with
// warnings is still made, so nothing needs answering.
void Form1::showTemplateWarnings(const QList<TemplateWarning>& warnings)
{
    m_templateWarnings = warnings;
    m_showWarnings->setVisible(!warnings.isEmpty());
    if (warnings.isEmpty())
        return;
    const QString count = warnings.size() == 1 ? QStringLiteral("1 template warning")
                                               : QStringLiteral("%1 template warnings").arg(warnings.size());
    const QString written = m_status->text();
    m_status->setText(written.isEmpty() ? count : written + QStringLiteral(" (%1)").arg(count));
}

void Form1::showStatus(const QString& text)
{
    m_status->setText(text);
}

void Form1::stopPage()
{
    if (isMakingPage())
        m_filter.requestStop();
}

void Form1::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && isMakingPage()) {
        stopPage();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

// While a page is made, nothing may start another run or change the catalogue or the list file.
void Form1::setCommandsEnabled(bool enabled)
{
    for (const char* name : {"Command1",
                             "Command2",
                             "Command3",
                             "Command4",
                             "Command5",
                             "Command6",
                             "Command7",
                             "Command8",
                             "cmdImport",
                             "Command12"})
        findChild<QPushButton*>(QLatin1String(name))->setEnabled(enabled);
    m_commandsEnabled = enabled;
    refreshUndoControls();
    refreshRecentMenu();
    m_stop->setEnabled(!enabled);
    if (!enabled)
        m_stop->setFocus();
}

QString Form1::pageTitle() const
{
    return m_pageTitle->text();
}

QString Form1::pageDescription() const
{
    return m_pageDescription->toPlainText();
}

void Form1::setProgress(float position)
{
    m_progress->setValue(qRound(position));
}

void Form1::setLabel(const QString& text)
{
    m_label->setText(text);
}

} // namespace reelkeep
