// The main window's list files: Save, Load, the recent lists, Import, the current file and the
// form each file is written in.
#include "window/ListFileCommands.h"

#include "catalogue/History.h"
#include "pagegen/PageHost.h"
#include "storage/ImportedList.h"
#include "storage/SettingsEntries.h"
#include "storage/SheetFile.h"
#include "storage/widgets/frmImport.h"
#include "window/CatalogueCommands.h"
#include "window/CommandRunner.h"
#include "window/Controls.h"
#include "window/PageTexts.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QSet>

#include <algorithm>
#include <iterator>

namespace reelkeep {

namespace {

/// The list files loaded or saved last, newest first, as the keys 0 to 7.
const QString RecentListsSection = QStringLiteral("RecentLists");

/// Films an import summary names at most, of those the list held already.
constexpr qsizetype NamedFilmsAlreadyInTheList = 5;

/// "2 films imported (23 now). Already in the list: "Heat" (1995).", naming the imported films whose
/// title and release equal those of a film of the list before the import.
QString importSummary(const QList<FilmRecord>& before, const QList<FilmRecord>& imported)
{
    const auto key = [](const FilmRecord& film) { return film.title() + QChar(0) + film[Field::Release]; };
    QSet<QString> known;
    for (const FilmRecord& film : before)
        known.insert(key(film));
    QStringList named;
    for (const FilmRecord& film : imported) {
        if (!known.contains(key(film)))
            continue;
        const QString title =
            film.title().isEmpty() ? NoTitleText : QStringLiteral("\u201C%1\u201D").arg(film.title());
        named.append(film[Field::Release].isEmpty()
                         ? title
                         : QStringLiteral("%1 (%2)").arg(title, film[Field::Release]));
    }
    const QLocale english(QLocale::English);
    QString summary =
        QStringLiteral("%1 imported (%2 now).")
            .arg(filmCountText(imported.size(), english), english.toString(before.size() + imported.size()));
    if (named.isEmpty())
        return summary;
    summary += QStringLiteral(" Already in the list: ") +
               named.mid(0, NamedFilmsAlreadyInTheList).join(QStringLiteral(", "));
    if (named.size() > NamedFilmsAlreadyInTheList)
        summary +=
            QStringLiteral(" and %1 more").arg(english.toString(named.size() - NamedFilmsAlreadyInTheList));
    return summary + QLatin1Char('.');
}

/// The list dialog's filters in their order, each with the form of a file chosen under it.
struct ListFilter
{
    const char* text;
    ListForm form;
};
constexpr ListFilter ListFilters[] = {
    {"Reelkeep File(*.rkf)|*.rkf", ListForm::Native},
    {"Coma Delimited (*.csv)|*.csv", ListForm::CommaSeparated},
};

QString listFilterText()
{
    QStringList filters;
    for (const ListFilter& filter : ListFilters)
        filters.append(QLatin1String(filter.text));
    return filters.join(QLatin1Char('|'));
}

/// The form of the filter a dialog left selected; the first filter's for none.
ListForm formOfFilter(const FileDialogState& dialog)
{
    const bool listed = dialog.filterIndex >= 1 && dialog.filterIndex <= int(std::size(ListFilters));
    return ListFilters[listed ? dialog.filterIndex - 1 : 0].form;
}

/// The position of a form's filter, counted from 1.
int filterOfForm(ListForm form)
{
    const auto found = std::find_if(std::begin(ListFilters),
                                    std::end(ListFilters),
                                    [form](const ListFilter& filter) { return filter.form == form; });
    return found == std::end(ListFilters) ? 1 : int(found - std::begin(ListFilters)) + 1;
}

} // namespace

ListFileCommands::ListFileCommands(DesktopServices& desktop,
                                   Catalogue& catalogue,
                                   CatalogueCommands& commands,
                                   PageTexts& pageTexts,
                                   CommandRunner& runner,
                                   QMenu& recentMenu,
                                   QWidget* window)
    : QObject(window)
    , m_desktop(desktop)
    , m_catalogue(catalogue)
    , m_commands(commands)
    , m_pageTexts(pageTexts)
    , m_runner(runner)
    , m_recentMenu(recentMenu)
    , m_window(window)
    , m_listDialog{QString(), listFilterText(), QStringLiteral("rkf"), QStringLiteral("*.rkf"), 1}
    , m_importDialog{QStringLiteral("Import Films"),
                     QStringLiteral("Delimited text (*.csv *.tsv *.txt)|*.csv *.tsv *.txt|All files (*)|*"),
                     QString(),
                     QString(),
                     1}
    , m_exportDialog{QStringLiteral("Export Films"),
                     QStringLiteral("Spreadsheet, comma-separated (*.csv)|*.csv"),
                     QStringLiteral("csv"),
                     QString(),
                     1}
{}

// ---- the list in the window ----

ListDocument ListFileCommands::documentToSave() const
{
    return {m_pageTexts.title(),
            m_pageTexts.description(),
            m_catalogue.entries(),
            m_currentEncoding,
            m_catalogue.extraFields()};
}

ListInWindow ListFileCommands::listInWindow() const
{
    return {m_catalogue.entries(),
            m_pageTexts.title(),
            m_pageTexts.description(),
            m_currentFile,
            m_currentForm,
            m_currentEncoding,
            m_catalogue.extraFields()};
}

void ListFileCommands::showList(const ListInWindow& list)
{
    m_catalogue.replaceAll(list.films, list.fields);
    m_pageTexts.showTexts(list.pageTitle, list.pageDescription);
    m_currentFile = list.file;
    m_currentForm = list.form;
    m_currentEncoding = list.encoding;
    emit currentFileChanged();
}

void ListFileCommands::markClean(ListForm form)
{
    // A .csv file keeps no page texts (loaded, it gives a new window's) and no extra fields.
    const bool pageTextsKept = form == ListForm::Native || m_pageTexts.areNew();
    const bool fieldsKept = form == ListForm::Native || m_catalogue.extraFields().isEmpty();
    m_catalogue.setModified(!pageTextsKept || !fieldsKept);
    m_pageTexts.setEdited(!pageTextsKept);
    m_commands.setFieldsNotInFile(!fieldsKept);
    m_commands.undoStack().setClean();
}

void ListFileCommands::proposeCurrentFile()
{
    if (m_currentFile.isEmpty())
        return;
    m_listDialog.fileName = m_currentFile;
    if (const std::optional<ListForm> form = formFromFileName(m_currentFile))
        m_listDialog.filterIndex = filterOfForm(*form);
}

// ---- Save ----

bool ListFileCommands::saveCommand()
{
    m_listDialog.title = QStringLiteral("Save List");
    proposeCurrentFile();
    if (!m_desktop.saveFileDialog(m_listDialog) || m_listDialog.fileName.isEmpty())
        return false;
    const QString path = m_listDialog.fileName;
    if (!mayReplace(m_desktop, path))
        return false;
    // The extension typed decides the form; the filter only for a name without rkf or csv.
    return writeList(path, formFromFileName(path).value_or(formOfFilter(m_listDialog)));
}

bool ListFileCommands::saveToCurrentFile()
{
    if (m_currentFile.isEmpty())
        return saveCommand();
    return writeList(m_currentFile, m_currentForm);
}

bool ListFileCommands::writeList(const QString& path, ListForm form)
{
    QString failure;
    const PreviousVersion previous =
        readKeepPreviousVersion(m_desktop) ? PreviousVersion::Keep : PreviousVersion::Discard;
    if (!saveListFile(path, form, documentToSave(), &failure, previous)) {
        tell(m_desktop, QStringLiteral("Could not save %1: %2").arg(QDir::toNativeSeparators(path), failure));
        return false;
    }
    m_currentFile = path;
    m_currentForm = form;
    emit currentFileChanged();
    rememberRecentList(path);
    markClean(form);
    if (const QString notKept = notKeptSentence(QFileInfo(path).fileName(), form, documentToSave());
        !notKept.isEmpty())
        emit statusChanged(notKept + u'.');
    return true;
}

QString ListFileCommands::notKeptByCurrentFile() const
{
    return m_currentFile.isEmpty() ? QString() : notKeptSentence(QString(), m_currentForm, documentToSave());
}

// ---- Load ----

bool ListFileCommands::mayLoad()
{
    if (!m_commands.settlePendingEdits(QStringLiteral("loading a list"), m_commands.selectedPosition()))
        return false;
    if (!m_catalogue.isModified())
        return true;
    switch (m_desktop.messageBox(QStringLiteral("Save before loading?"), Buttons::YesNoCancel)) {
    case Answer::Yes:
        return saveToCurrentFile();
    case Answer::No:
        return true;
    default:
        return false;
    }
}

void ListFileCommands::loadCommand()
{
    if (!mayLoad())
        return;
    m_listDialog.title = QStringLiteral("Load List");
    proposeCurrentFile();
    if (!m_desktop.openFileDialog(m_listDialog) || m_listDialog.fileName.isEmpty())
        return;
    const QString path = m_listDialog.fileName;
    // The file's first bytes decide the form; the filter only for bytes that show none.
    openList(path, formOfContents(path, formOfFilter(m_listDialog)), true, true);
}

bool ListFileCommands::loadList(const QString& path, ListForm form, bool reportFailure)
{
    return openList(path, form, reportFailure, false);
}

bool ListFileCommands::openList(const QString& path, ListForm form, bool reportFailure, bool undoable)
{
    QString failure;
    QString warning;
    std::optional<ListDocument> document = loadListFile(path, form, &failure, &warning);
    if (!document) {
        if (reportFailure)
            tell(m_desktop,
                 QStringLiteral("Could not load %1: %2").arg(QDir::toNativeSeparators(path), failure));
        return false;
    }
    // The comma-separated form carries no page texts: the window keeps its own.
    const bool native = document->pageTitle.has_value();
    ListInWindow loaded = listInWindow();
    loaded.films = std::move(document->films);
    if (native) {
        loaded.pageTitle = *document->pageTitle;
        loaded.pageDescription = document->pageDescription.value_or(QString());
    }
    loaded.file = path;
    loaded.form = native ? ListForm::Native : ListForm::CommaSeparated;
    loaded.encoding = document->encoding;
    loaded.fields = std::move(document->fields);
    if (undoable) {
        m_commands.pushStep(new ReplaceList(*this, listInWindow(), std::move(loaded)));
    } else {
        // The steps so far name positions of the list this load replaces.
        m_commands.undoStack().clear();
        showList(loaded);
    }
    markClean(loaded.form);
    rememberRecentList(path);
    if (!warning.isEmpty())
        tell(m_desktop, QStringLiteral("%1 has %2.").arg(QDir::toNativeSeparators(path), warning));
    return true;
}

// ---- Import ----

void ListFileCommands::importCommand()
{
    // The first imported film takes the fields.
    if (!m_commands.settlePendingEdits(QStringLiteral("importing films"), m_commands.selectedPosition()) ||
        !m_desktop.openFileDialog(m_importDialog) || m_importDialog.fileName.isEmpty())
        return;
    const QString path = m_importDialog.fileName;
    const QString shownPath = QDir::toNativeSeparators(path);
    QString failure;
    const std::optional<ImportAnalysis> analysis = analyseImportFile(path, &failure);
    if (!analysis) {
        tell(m_desktop, QStringLiteral("Could not import %1: %2").arg(shownPath, failure));
        return;
    }
    const ImportTarget target{m_catalogue.extraFields(), PageHost::answersFilmName};
    frmImport dialog(*analysis, target, m_window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::optional<ImportedFilms> imported = importFilms(*analysis, dialog.mapping(), target, &failure);
    if (!imported) {
        tell(m_desktop, QStringLiteral("Could not import %1: %2").arg(shownPath, failure));
        return;
    }
    const QList<FilmRecord>& films = imported->films;
    if (films.isEmpty()) {
        tell(m_desktop,
             QStringLiteral("%1 holds no films below its header row. Nothing was imported.").arg(shownPath));
        return;
    }
    const QLocale english(QLocale::English);
    const QString step = QStringLiteral("Import %1").arg(QFileInfo(path).fileName());
    const QList<FilmRecord> before = m_catalogue.entries();
    if (!m_commands.importFilms(films, imported->fields, step)) {
        tell(m_desktop,
             QStringLiteral("The list holds %1 films and the file %2: together they are more than "
                            "the %3 a list can hold. Nothing was imported.")
                 .arg(english.toString(m_catalogue.count()),
                      english.toString(films.size()),
                      english.toString(Catalogue::MaxEntries)));
        return;
    }
    m_commands.selectFilm(int(before.size()), true);
    emit statusChanged(importSummary(before, films));
}

// ---- Export ----

void ListFileCommands::exportCommand()
{
    // A sheet beside the list, named after it; never the list file itself.
    const QFileInfo list(m_currentFile);
    if (m_exportDialog.fileName.isEmpty() && !m_currentFile.isEmpty())
        m_exportDialog.fileName = list.dir().filePath(list.completeBaseName() + QStringLiteral("-sheet.csv"));
    if (!m_desktop.saveFileDialog(m_exportDialog) || m_exportDialog.fileName.isEmpty())
        return;
    const QString path = m_exportDialog.fileName;
    const QString shownPath = QDir::toNativeSeparators(path);
    if (!m_currentFile.isEmpty() && QFileInfo(path) == list) {
        tell(m_desktop,
             QStringLiteral("Could not export to %1: it is the list file. Choose another name.")
                 .arg(shownPath));
        return;
    }
    if (!mayReplace(m_desktop, path))
        return;
    QString failure;
    QStringList warnings;
    const PreviousVersion previous = QFileInfo(path).isFile() && readKeepPreviousVersion(m_desktop)
                                         ? PreviousVersion::Keep
                                         : PreviousVersion::Discard;
    if (!exportSheetFile(path, documentToSave(), &failure, &warnings, previous)) {
        tell(m_desktop, QStringLiteral("Could not export to %1: %2").arg(shownPath, failure));
        return;
    }
    QString summary = QStringLiteral("The list is exported to %1.").arg(QFileInfo(path).fileName());
    if (previous == PreviousVersion::Keep)
        summary += QStringLiteral(" The version it replaced is kept as %1.")
                       .arg(QFileInfo(previousVersionPath(path)).fileName());
    for (const QString& warning : std::as_const(warnings))
        summary += QLatin1Char(' ') + warning.left(1).toUpper() + warning.mid(1) + QLatin1Char('.');
    emit statusChanged(summary);
}

// ---- the recent lists ----

void ListFileCommands::loadRecentList(const QString& path)
{
    if (!m_desktop.fileExists(path)) {
        QStringList recent = readHistory(m_desktop, RecentListsSection);
        recent.removeAll(path);
        writeRecentLists(recent);
        tell(m_desktop,
             QStringLiteral("%1 no longer exists. It is taken off the recent lists.")
                 .arg(QDir::toNativeSeparators(path)));
        return;
    }
    if (!mayLoad())
        return;
    openList(path, formOfContents(path, formFromFileName(path).value_or(ListForm::Native)), true, true);
}

void ListFileCommands::rememberRecentList(const QString& path)
{
    QStringList recent = readHistory(m_desktop, RecentListsSection);
    const QString absolute = QFileInfo(path).absoluteFilePath();
    recent.removeAll(absolute);
    recent.prepend(absolute);
    writeRecentLists(recent.mid(0, HistoryLength));
}

void ListFileCommands::writeRecentLists(const QStringList& recent)
{
    writeHistory(m_desktop, RecentListsSection, recent);
    refreshRecentMenu();
}

void ListFileCommands::refreshRecentMenu()
{
    m_recentMenu.clear();
    const QStringList recent = readHistory(m_desktop, RecentListsSection);
    for (qsizetype i = 0; i < recent.size(); ++i) {
        const QString& path = recent.at(i);
        // The entries are numbered for the keyboard: Alt+R, then 1 to 8.
        QAction* entry = m_recentMenu.addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(
            QDir::toNativeSeparators(path).replace(QLatin1Char('&'), QStringLiteral("&&"))));
        connect(entry, &QAction::triggered, this, m_runner.asCommand([this, path] { loadRecentList(path); }));
    }
    emit recentListsChanged();
}

} // namespace reelkeep
