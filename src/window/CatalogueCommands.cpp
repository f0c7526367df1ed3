// The catalogue's list on "Movies" and the commands that change it. The list model keeps every
// film, so positions stay catalogue positions while the search hides some of them.
#include "window/CatalogueCommands.h"

#include "desktop/DesktopServices.h"
#include "window/CommandRunner.h"
#include "window/Controls.h"
#include "window/FilmEditor.h"
#include "window/FilmTable.h"
#include "window/PageTexts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QScopedValueRollback>
#include <QShortcut>
#include <QVBoxLayout>

namespace reelkeep {

CatalogueCommands::CatalogueCommands(DesktopServices& desktop,
                                     Catalogue& catalogue,
                                     FilmEditor& editor,
                                     PageTexts& pageTexts,
                                     CommandRunner& runner,
                                     QWidget* parent)
    : QWidget(parent)
    , m_desktop(desktop)
    , m_catalogue(catalogue)
    , m_editor(editor)
    , m_pageTexts(pageTexts)
    , m_runner(runner)
{
    m_undo.setUndoLimit(UndoLimit);
    // Made before the search follows the catalogue: its rows have followed a change first.
    m_list = new FilmTable(m_desktop, m_catalogue);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(buildSearchBar());
    layout->addWidget(m_list, 1);
    connect(&m_catalogue, &Catalogue::extraFieldsChanged, this, [this](const QList<qsizetype>& origins) {
        m_runner.notingLackOfMemory([this, &origins] { extraFieldsChanged(origins); })();
    });
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        m_runner.run([this] { selectionChanged(); });
    });
    connectSearch();
}

// ---- the search ----

QLayout* CatalogueCommands::buildSearchBar()
{
    m_search = new QLineEdit;
    m_search->setObjectName(QStringLiteral("txtSearch"));
    m_search->setPlaceholderText(QStringLiteral("Title, cast, genre, plot..."));
    m_search->setAccessibleName(QStringLiteral("Find films"));
    m_search->setClearButtonEnabled(true);
    auto* caption = new QLabel(QStringLiteral("&Find:"));
    caption->setBuddy(m_search);
    m_count = new QLabel;
    m_count->setObjectName(QStringLiteral("lblCount"));
    // What the label shows is its name for assistive technology; the description says what it is.
    m_count->setAccessibleDescription(QStringLiteral("Film count"));
    auto* bar = new QHBoxLayout;
    bar->addWidget(caption);
    bar->addWidget(m_search, 1);
    bar->addWidget(m_count);
    return bar;
}

void CatalogueCommands::connectSearch()
{
    // Typing is the user's command, and also what a command that empties the field does.
    const auto searchAgain = m_runner.notingLackOfMemory([this] { applySearch(); });
    connect(m_search, &QLineEdit::textChanged, this, [this, searchAgain] {
        if (m_runner.isRunning())
            searchAgain();
        else
            m_runner.run([this] { applySearch(); });
    });
    auto* clear = new QShortcut(QKeySequence(Qt::Key_Escape), m_search);
    clear->setContext(Qt::WidgetShortcut);
    connect(clear, &QShortcut::activated, m_search, &QLineEdit::clear);
    // Every change to the catalogue is searched again; FilmSearch has seen it first.
    connect(&m_catalogue, &QAbstractItemModel::rowsInserted, this, searchAgain);
    connect(&m_catalogue, &QAbstractItemModel::rowsRemoved, this, searchAgain);
    connect(&m_catalogue, &QAbstractItemModel::dataChanged, this, searchAgain);
    connect(&m_catalogue, &QAbstractItemModel::modelReset, this, searchAgain);
    applySearch();
}

void CatalogueCommands::focusSearch()
{
    m_search->setFocus(Qt::ShortcutFocusReason);
    m_search->selectAll();
}

void CatalogueCommands::applySearch()
{
    const std::vector<bool> shown = m_filmSearch.matches(m_search->text());
    const int selected = selectedPosition();
    int count = 0;
    // Without repainting each row hidden or shown, the table takes a few milliseconds for them all.
    m_list->setUpdatesEnabled(false);
    for (int position = 0; position < m_catalogue.count(); ++position) {
        // The film being edited stays in sight while it holds typed edits.
        const bool show = shown[static_cast<size_t>(position)] || (position == selected && hasPendingEdits());
        const int row = m_list->films().rowOfPosition(position);
        if (m_list->isRowHidden(row) == show)
            m_list->setRowHidden(row, !show);
        count += show ? 1 : 0;
    }
    m_list->setUpdatesEnabled(true);
    // A selected film that is hidden no longer is the one the commands act on.
    if (selected >= 0 && isHidden(selected))
        showFilm(-1);
    const QLocale english(QLocale::English);
    const QString total = filmCountText(m_catalogue.count(), english);
    m_count->setText(count == m_catalogue.count()
                         ? total
                         : QStringLiteral("%1 of %2").arg(english.toString(count), total));
}

void CatalogueCommands::setListFile(const QString& file)
{
    m_editor.setListFile(file);
    m_list->setListFile(file);
}

// ---- the selection and the typed edits ----

// Selected cells of one row: the row selected, even while columns come or go.
int CatalogueCommands::selectedPosition() const
{
    const QModelIndexList selected = m_list->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : m_list->films().positionOfRow(selected.constFirst().row());
}

bool CatalogueCommands::isHidden(int position) const
{
    return m_list->isRowHidden(m_list->films().rowOfPosition(position));
}

void CatalogueCommands::setSelectedPosition(int position)
{
    QItemSelectionModel* selection = m_list->selectionModel();
    if (position < 0) {
        selection->clear();
        return;
    }
    const QModelIndex row = m_list->films().index(m_list->films().rowOfPosition(position), 0);
    selection->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_list->scrollTo(row);
}

void CatalogueCommands::selectFilm(int position, bool showIt)
{
    // A command or an undo step that selects a film the search hides shows every film again.
    if (position >= 0 && isHidden(position))
        m_search->clear();
    {
        const QScopedValueRollback byCommand(m_selectingByCommand, true);
        setSelectedPosition(position);
    }
    if (showIt && position >= 0)
        m_editor.showFilm(m_catalogue.at(position));
}

// Select: the user picked a film in List1. A change of the cells selected that leaves the same film
// selected (a column shown or hidden) is none.
void CatalogueCommands::selectionChanged()
{
    const int position = selectedPosition();
    const int previous = m_picked.isValid() ? m_picked.row() : -1;
    if (position == previous)
        return;
    m_picked = position < 0 ? QPersistentModelIndex() : QPersistentModelIndex(m_catalogue.index(position));
    if (m_selectingByCommand || position < 0)
        return;
    if (!settlePendingEdits(QStringLiteral("showing another film"), previous)) {
        selectFilm(previous, false);
        return;
    }
    m_editor.showFilm(m_catalogue.at(position));
}

bool CatalogueCommands::hasPendingEdits() const
{
    const FilmRecord fields = m_editor.fields();
    if (fields == m_editor.shownFields())
        return false;
    // With no film picked, fields that show a film of the list exactly hold nothing to store:
    // Update could only add it again.
    return selectedPosition() >= 0 || !m_catalogue.entries().contains(fields);
}

bool CatalogueCommands::settlePendingEdits(const QString& beforeWhat, int storeAt)
{
    if (!hasPendingEdits())
        return true;
    const QString question = EditsNotStored + QStringLiteral(" Store them before %1?").arg(beforeWhat);
    switch (m_desktop.messageBox(question, Buttons::StoreDiscardCancel)) {
    case Answer::Yes:
        return storeFields(storeAt);
    case Answer::No:
        m_editor.dropEdits();
        return true;
    default:
        return false;
    }
}

void CatalogueCommands::showFilm(int position)
{
    if (position >= 0) {
        selectFilm(position, true);
        return;
    }
    selectFilm(-1, false);
    m_editor.showFilm(FilmRecord());
}

void CatalogueCommands::clearEditor()
{
    showFilm(-1);
    m_editor.focusFirstField();
}

// ---- the commands ----

void CatalogueCommands::newCommand()
{
    if (settlePendingEdits(QStringLiteral("emptying the fields"), selectedPosition()))
        clearEditor();
}

bool CatalogueCommands::importFilms(const QList<FilmRecord>& films,
                                    const ExtraFields& fields,
                                    const QString& stepText)
{
    if (films.size() > Catalogue::MaxEntries - m_catalogue.count())
        return false;
    change(new ImportFilms(m_catalogue, *this, films, fields, stepText));
    return true;
}

bool CatalogueCommands::storeFields(int position)
{
    const FilmRecord film = m_editor.fields();
    if (const QString problem = m_editor.extraValueProblem(); !problem.isEmpty()) {
        tell(m_desktop, QStringLiteral("The film was not stored: %1").arg(problem));
        return false;
    }
    if (position < 0 && m_catalogue.count() >= Catalogue::MaxEntries) {
        tell(m_desktop,
             QStringLiteral("The list is full: it holds %1 films, the most a list can hold. "
                            "The film was not added.")
                 .arg(QLocale(QLocale::English).toString(Catalogue::MaxEntries)));
        return false;
    }
    // A second copy of a film is seldom meant: Update after Update adds the film it just stored.
    if (position < 0 && m_catalogue.entries().contains(film) &&
        m_desktop.messageBox(QStringLiteral("This film is already in the list. Add it again?"),
                             Buttons::YesNo) != Answer::Yes)
        return false;
    m_editor.rememberHistories();
    // A picked film stored unchanged leaves nothing to save and no step to take back.
    if (position >= 0 && film == m_catalogue.at(position))
        return true;
    if (position >= 0)
        change(new ReplaceFilm(m_catalogue, *this, position, film));
    else
        change(new AddFilms(m_catalogue,
                            *this,
                            m_catalogue.count(),
                            {film},
                            stepText(QStringLiteral("Update"), film.title())));
    m_editor.setShownFields(film);
    return true;
}

void CatalogueCommands::updateCommand()
{
    const int position = selectedPosition();
    if (!storeFields(position))
        return;
    if (position < 0)
        clearEditor();
    else
        selectFilm(-1, false);
}

void CatalogueCommands::removeCommand()
{
    const int position = selectedPosition();
    if (position < 0)
        return;
    // The typed edits go with the film; Undo brings the film back as it was stored.
    change(new RemoveFilm(m_catalogue, *this, position));
    clearEditor();
}

void CatalogueCommands::moveUpCommand()
{
    const int position = selectedPosition();
    if (position >= 1)
        moveFilm(position - 1, ExchangeFilms::Moved::Up);
}

void CatalogueCommands::moveDownCommand()
{
    const int position = selectedPosition();
    if (position >= 0 && position < m_catalogue.lastIndex())
        moveFilm(position, ExchangeFilms::Moved::Down);
}

void CatalogueCommands::moveFilm(int position, ExchangeFilms::Moved moved)
{
    // UP and DOWN move films in the collection's own order, never in a sorted view.
    if (m_list->isSorted())
        return;
    change(new ExchangeFilms(m_catalogue, *this, position, moved));
    // The moved film stays selected; typed edits to it stay in the fields.
    selectFilm(moved == ExchangeFilms::Moved::Up ? position : position + 1, !hasPendingEdits());
}

// ---- the extra fields ----

void CatalogueCommands::addExtraField(const ExtraField& field)
{
    change(new AddExtraField(m_catalogue, field));
}

void CatalogueCommands::renameExtraField(qsizetype position, const QString& name)
{
    change(new RenameExtraField(m_catalogue, position, name));
}

void CatalogueCommands::moveExtraField(qsizetype from, qsizetype to)
{
    change(new MoveExtraField(m_catalogue, from, to));
}

bool CatalogueCommands::removeExtraField(qsizetype position)
{
    const QString& name = m_catalogue.extraFields()[position].name;
    if (extraFieldHoldsValues(m_catalogue.entries(), position) &&
        m_desktop.messageBox(QStringLiteral("Films hold values in \u201C%1\u201D. Remove the field and "
                                            "every film's value in it? Undo brings them back.")
                                 .arg(name),
                             Buttons::YesNo) != Answer::Yes)
        return false;
    change(new RemoveExtraField(m_catalogue, position));
    return true;
}

void CatalogueCommands::extraFieldsChanged(const QList<qsizetype>& origins)
{
    const int selected = selectedPosition();
    m_editor.showExtraFields(
        m_catalogue.extraFields(), origins, selected >= 0 ? m_catalogue.at(selected) : FilmRecord());
    applySearch();
}

// ---- Undo and Redo ----

void CatalogueCommands::takeStep(bool back)
{
    if (!canTakeStep(back))
        return;
    if (hasPendingEdits()) {
        const QString command = back ? QStringLiteral("Undo") : QStringLiteral("Redo");
        const QString question =
            EditsNotStored + QStringLiteral(" %1 discards them. %1 all the same?").arg(command);
        if (m_desktop.messageBox(question, Buttons::YesNo) != Answer::Yes)
            return;
        m_editor.dropEdits();
    }
    if (back)
        m_undo.undo();
    else
        m_undo.redo();
    // Back at the last native save or load, nothing is left to save; anywhere else the catalogue
    // differs from the file.
    m_catalogue.setModified(!m_undo.isClean() || m_pageTexts.isEdited() || m_fieldsNotInFile);
}

void CatalogueCommands::pushStep(CatalogueStep* step)
{
    m_undo.push(step);
    m_stepsOfCommand.append(step);
    m_stepBudget.add(step);
    emit historyChanged();
}

void CatalogueCommands::change(CatalogueStep* step)
{
    pushStep(step);
    m_catalogue.setModified(true);
}

bool CatalogueCommands::canTakeStep(bool back) const
{
    // A step taken back when its command ran out of memory is not done again.
    if (!back)
        return m_undo.canRedo() && !m_undo.command(m_undo.index())->isObsolete();
    return m_undo.canUndo() &&
           !static_cast<const CatalogueStep*>(m_undo.command(m_undo.index() - 1))->isForgotten();
}

void CatalogueCommands::takeBackStepsOfCommand()
{
    for (qsizetype i = m_stepsOfCommand.size(); i > 0 && m_undo.canUndo(); --i) {
        m_undo.undo();
        m_stepsOfCommand.at(i - 1)->setObsolete(true);
    }
    m_stepsOfCommand.clear();
}

} // namespace reelkeep
