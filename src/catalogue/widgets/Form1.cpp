// The main window: builds the two tabs, runs the catalogue commands, start-up and shut-down.
#include "catalogue/widgets/Form1.h"

#include "about/Product.h"
#include "about/Version.h"
#include "about/widgets/frmAbout.h"
#include "catalogue/History.h"
#include "pagegen/PageRun.h"
#include "storage/SettingsEntries.h"
#include "storage/widgets/frmOptions.h"

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
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

namespace reelkeep {

namespace {

const QString Crlf = QStringLiteral("\r\n");

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
    : QWidget(parent)
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
    , m_functions([&desktop] { return desktop.now(); })
    , m_evaluator(&m_functions, &m_pageHost)
    , m_pageHost(*this, m_filter, m_evaluator, desktop.applicationFolder() + QStringLiteral("/template"))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(ProductTitle));

    m_tabs = new QTabWidget;
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    auto* movies = new QWidget;
    auto* general = new QWidget;
    buildMoviesTab(movies);
    buildGeneralTab(general);
    m_tabs->addTab(movies, QStringLiteral("Movies"));
    m_tabs->addTab(general, QStringLiteral("Genral"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);

    resize(sizeHint().expandedTo(QSize(720, 640)));
    connectCommands();
    startUp();
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

    auto* image = new QGroupBox(QStringLiteral("Image"));
    image->setObjectName(QStringLiteral("Frame2"));
    auto* imageLayout = new QFormLayout(image);
    imageLayout->addRow(QStringLiteral("Source"), control(Field::ImgSrc));
    imageLayout->addRow(QStringLiteral("Link URL"), control(Field::ImgLink));

    auto* webSites = new QGroupBox(QStringLiteral("Web Sites:"));
    webSites->setObjectName(QStringLiteral("Frame1"));
    auto* webLayout = new QGridLayout(webSites);
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
    frames->addWidget(image, 1);
    frames->addWidget(webSites, 2);

    m_list = new QListView;
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setAccessibleName(QStringLiteral("Films"));
    m_list->setModel(&m_catalogue);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setUniformItemSizes(true);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(makeButton("Command1", QStringLiteral("UP")));
    buttons->addWidget(makeButton("Command5", QStringLiteral("Update")));
    buttons->addWidget(makeButton("Command3", QStringLiteral("New")));
    buttons->addWidget(makeButton("Command4", QStringLiteral("Remove")));
    buttons->addWidget(makeButton("Command2", QStringLiteral("DOWN")));
    buttons->addStretch();
    auto* lower = new QHBoxLayout;
    lower->addWidget(m_list, 1);
    lower->addLayout(buttons);

    auto* layout = new QVBoxLayout(tab);
    layout->addLayout(columns, 1);
    layout->addLayout(frames);
    layout->addLayout(lower, 1);
}

void Form1::buildGeneralTab(QWidget* tab)
{
    m_pageTitle = makeLineEdit("gTitle");
    m_pageTitle->setText(QStringLiteral("My Movie"));
    m_pageDescription = makeTextBox("gDescription");
    auto* texts = new QFormLayout;
    texts->addRow(QStringLiteral("Title:"), m_pageTitle);
    texts->addRow(QStringLiteral("Description:"), m_pageDescription);

    auto* files = new QHBoxLayout;
    files->addWidget(makeButton("Command6", QStringLiteral("Save")));
    files->addWidget(makeButton("Command7", QStringLiteral("Load")));
    files->addStretch();
    files->addWidget(makeButton("Command8", QStringLiteral("Make HTML File")));

    m_label = new QLabel;
    m_label->setObjectName(QStringLiteral("iLabel"));
    m_label->setAccessibleName(QStringLiteral("Page status"));
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
    layout->addWidget(m_label);
    layout->addLayout(progress);
    layout->addLayout(commands);
}

void Form1::connectCommands()
{
    const auto onClick = [this](const char* name, void (Form1::*command)()) {
        connect(findChild<QPushButton*>(QLatin1String(name)), &QPushButton::clicked, this, command);
    };
    onClick("Command1", &Form1::moveUpCommand);
    onClick("Command2", &Form1::moveDownCommand);
    onClick("Command3", &Form1::newCommand);
    onClick("Command4", &Form1::removeCommand);
    onClick("Command5", &Form1::updateCommand);
    onClick("Command7", &Form1::loadCommand);
    onClick("Command8", &Form1::makePageCommand);
    onClick("cmdStop", &Form1::stopPage);
    connect(findChild<QPushButton*>(QStringLiteral("Command6")), &QPushButton::clicked, this, [this] {
        saveCommand();
    });
    connect(findChild<QPushButton*>(QStringLiteral("Command9")), &QPushButton::clicked, this, [this] {
        frmAbout about(m_desktop, m_registry, this);
        about.exec();
    });
    connect(findChild<QPushButton*>(QStringLiteral("Command10")), &QPushButton::clicked, this, [this] {
        m_desktop.openWebAddress(ProductWebAddress);
    });
    connect(
        findChild<QPushButton*>(QStringLiteral("Command11")), &QPushButton::clicked, this, &QWidget::close);
    connect(findChild<QPushButton*>(QStringLiteral("Command12")), &QPushButton::clicked, this, [this] {
        frmOptions options(m_desktop, this);
        options.exec();
    });

    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        selectCommand(selectedPosition());
    });
    // Every change the native list file stores marks the catalogue as changed.
    connect(m_pageTitle, &QLineEdit::textEdited, this, [this] { m_catalogue.setModified(true); });
    connect(m_pageDescription, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_fillingPageTexts)
            m_catalogue.setModified(true);
    });

    // Keyboard ways to the catalogue commands, besides the buttons' own focus and Space.
    const auto shortcut = [this](QKeySequence keys, QWidget* scope, void (Form1::*command)()) {
        auto* action = new QShortcut(keys, scope);
        action->setContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QShortcut::activated, this, command);
    };
    shortcut(QKeySequence::New, this, &Form1::newCommand);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Return), this, &Form1::updateCommand);
    shortcut(QKeySequence(Qt::ALT | Qt::Key_Up), this, &Form1::moveUpCommand);
    shortcut(QKeySequence(Qt::ALT | Qt::Key_Down), this, &Form1::moveDownCommand);
    shortcut(QKeySequence::Delete, m_list, &Form1::removeCommand);
    shortcut(QKeySequence::Open, this, &Form1::loadCommand);
    auto* save = new QShortcut(QKeySequence::Save, this);
    connect(save, &QShortcut::activated, this, [this] { saveCommand(); });
}

// ---- start-up and shut-down ----

void Form1::startUp()
{
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
    if (autoLoad.enabled && m_desktop.fileExists(autoLoad.fileName))
        loadList(autoLoad.fileName, ListForm::FromName, false);
}

void Form1::loadCommandLineFile()
{
    const QString text = m_desktop.commandLine();
    if (text.isEmpty())
        return;
    const QString fileName = fileNameFromCommandLine(text);
    if (m_desktop.fileExists(fileName))
        loadList(fileName, ListForm::FromName, false);
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
    bool close = true;
    if (m_catalogue.isModified()) {
        switch (m_desktop.messageBox(QStringLiteral("Save before exit?"), Buttons::YesNoCancel)) {
        case Answer::Yes:
            // A save that was cancelled or failed keeps the window open rather than drop the films.
            close = saveCommand();
            break;
        case Answer::No:
            break;
        default:
            close = false;
            break;
        }
    }
    storeHistories();
    if (close)
        event->accept();
    else
        event->ignore();
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

void Form1::selectCommand(int position)
{
    if (position >= 0)
        showRecord(m_catalogue.at(position));
}

void Form1::newCommand()
{
    if (isMakingPage())
        return;
    setSelectedPosition(-1);
    showRecord(FilmRecord());
    m_fieldControls[0]->setFocus();
}

void Form1::updateCommand()
{
    if (isMakingPage())
        return;
    m_catalogue.setModified(true);
    rememberComboText(m_type);
    rememberComboText(m_genre);
    const int position = selectedPosition();
    if (position < 0) {
        if (!m_catalogue.append(recordFromControls())) {
            tell(QStringLiteral("The list is full: it holds %1 films, the most a list can hold. "
                                "The film was not added.")
                     .arg(QLocale(QLocale::English).toString(Catalogue::MaxEntries)));
            return;
        }
        newCommand();
        return;
    }
    m_catalogue.replace(position, recordFromControls());
    setSelectedPosition(-1);
}

void Form1::removeCommand()
{
    if (isMakingPage())
        return;
    const int position = selectedPosition();
    if (position < 0)
        return;
    m_catalogue.remove(position);
    m_catalogue.setModified(true);
    newCommand();
}

void Form1::moveUpCommand()
{
    if (isMakingPage())
        return;
    const int position = selectedPosition();
    if (position < 1)
        return;
    m_catalogue.exchangeWithNext(position - 1);
    m_catalogue.setModified(true);
    setSelectedPosition(position - 1);
}

void Form1::moveDownCommand()
{
    if (isMakingPage())
        return;
    const int position = selectedPosition();
    if (position < 0 || position >= m_catalogue.lastIndex())
        return;
    m_catalogue.exchangeWithNext(position);
    m_catalogue.setModified(true);
    setSelectedPosition(position + 1);
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
}

// ---- list files ----

ListDocument Form1::documentToSave() const
{
    return {m_pageTitle->text(), m_pageDescription->toPlainText(), m_catalogue.entries()};
}

void Form1::applyDocument(const ListDocument& document)
{
    m_catalogue.replaceAll(document.films);
    if (!document.pageTitle)
        return;
    m_fillingPageTexts = true;
    m_pageTitle->setText(*document.pageTitle);
    m_pageDescription->setPlainText(document.pageDescription.value_or(QString()));
    m_fillingPageTexts = false;
    m_catalogue.setModified(false);
}

bool Form1::saveCommand()
{
    if (isMakingPage())
        return false;
    m_listDialog.title = QStringLiteral("Save List");
    if (!m_desktop.saveFileDialog(m_listDialog) || m_listDialog.fileName.isEmpty())
        return false;
    const QString path = m_listDialog.fileName;
    if (m_desktop.fileExists(path) &&
        m_desktop.messageBox(QStringLiteral("Replace File?"), Buttons::YesNo) != Answer::Yes)
        return false;
    const ListForm form = m_listDialog.filterIndex == 2 ? ListForm::CommaSeparated : ListForm::Native;
    QString failure;
    if (!saveListFile(path, form, documentToSave(), &failure)) {
        tell(QStringLiteral("Could not save %1: %2").arg(QDir::toNativeSeparators(path), failure));
        return false;
    }
    if (form == ListForm::Native)
        m_catalogue.setModified(false);
    return true;
}

void Form1::loadCommand()
{
    if (isMakingPage())
        return;
    if (m_catalogue.isModified()) {
        switch (m_desktop.messageBox(QStringLiteral("Save before loading?"), Buttons::YesNoCancel)) {
        case Answer::Yes:
            if (!saveCommand())
                return;
            break;
        case Answer::No:
            break;
        default:
            return;
        }
    }
    m_listDialog.title = QStringLiteral("Load List");
    if (!m_desktop.openFileDialog(m_listDialog) || m_listDialog.fileName.isEmpty())
        return;
    loadList(m_listDialog.fileName,
             m_listDialog.filterIndex == 2 ? ListForm::CommaSeparated : ListForm::Native,
             true);
}

bool Form1::loadList(const QString& path, ListForm form, bool reportFailure)
{
    QString failure;
    const std::optional<ListDocument> document = loadListFile(path, form, &failure);
    if (!document) {
        if (reportFailure)
            tell(QStringLiteral("Could not load %1: %2").arg(QDir::toNativeSeparators(path), failure));
        return false;
    }
    applyDocument(*document);
    return true;
}

void Form1::tell(const QString& text)
{
    m_desktop.messageBox(text, Buttons::Ok);
}

// ---- the page ----

void Form1::makePageCommand()
{
    if (isMakingPage())
        return;
    if (!m_desktop.saveFileDialog(m_pageDialog) || m_pageDialog.fileName.isEmpty())
        return;
    const QString path = m_pageDialog.fileName;
    if (m_desktop.fileExists(path) &&
        m_desktop.messageBox(QStringLiteral("Replace File?"), Buttons::YesNo) != Answer::Yes)
        return;
    m_pageHost.setTemplateFolder(m_desktop.applicationFolder() + QStringLiteral("/template"));
    m_filter.setYield([this] { m_desktop.yield(); });
    setCommandsEnabled(false);
    const PageRunOutcome outcome = runPage(m_filter, m_evaluator, m_pageHost.templateFolder(), path);
    setCommandsEnabled(true);
    switch (outcome.result) {
    case PageRunOutcome::Result::Made:
        break;
    case PageRunOutcome::Result::Stopped:
        // The user asked for it: the label says so, and nothing needs answering.
        m_label->setText(outcome.describe());
        break;
    case PageRunOutcome::Result::TemplateMissing:
        tell(QStringLiteral("The page was not made: %1.").arg(outcome.describe()));
        break;
    case PageRunOutcome::Result::Abandoned:
        tell(QStringLiteral("The page stopped with %1. It holds what was written up to there.")
                 .arg(outcome.describe()));
        break;
    }
    if (m_closeAfterPage) {
        m_closeAfterPage = false;
        close();
    }
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
    QWidget::keyPressEvent(event);
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
                             "Command12"})
        findChild<QPushButton*>(QLatin1String(name))->setEnabled(enabled);
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
