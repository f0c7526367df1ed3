// The catalogue's list on "Movies" and the commands that change it. The list model keeps every
// film, so positions stay catalogue positions while the search hides some of them.
#include "window/CatalogueCommands.h"

#include "desktop/DesktopServices.h"
#include "window/CommandRunner.h"
#include "window/Controls.h"
#include "window/FilmEditor.h"
#include "window/PageTexts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QScopedValueRollback>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace reelkeep {

namespace {

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

} // namespace

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
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(buildSearchBar());
    layout->addWidget(m_list, 1);
    connect(&m_catalogue, &Catalogue::extraFieldsChanged, this, [this](const QList<qsizetype>& origins) {
        m_runner.notingLackOfMemory([this, &origins] { extraFieldsChanged(origins); })();
    });
    connect(m_list->selectionModel(),
            &QItemSelectionModel::selectionChanged,
            this,
            [this](const QItemSelection&, const QItemSelection& deselected) {
                m_runner.run([this, &deselected] { selectionChanged(deselected); });
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
    for (int row = 0; row < m_catalogue.count(); ++row) {
        // The film being edited stays in sight while it holds typed edits.
        const bool show = shown[static_cast<size_t>(row)] || (row == selected && hasPendingEdits());
        if (m_list->isRowHidden(row) == show)
            m_list->setRowHidden(row, !show);
        count += show ? 1 : 0;
    }
    // A selected film that is hidden no longer is the one the commands act on.
    if (selected >= 0 && m_list->isRowHidden(selected)) {
        selectFilm(-1, false);
        m_editor.showFilm(FilmRecord());
    }
    const QLocale english(QLocale::English);
    const int total = m_catalogue.count();
    const QString films = total == 1 ? QStringLiteral("film") : QStringLiteral("films");
    m_count->setText(
        count == total
            ? QStringLiteral("%1 %2").arg(english.toString(total), films)
            : QStringLiteral("%1 of %2 %3").arg(english.toString(count), english.toString(total), films));
}

// ---- the selection and the typed edits ----

int CatalogueCommands::selectedPosition() const
{
    const QModelIndexList selected = m_list->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.constFirst().row();
}

void CatalogueCommands::setSelectedPosition(int position)
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

void CatalogueCommands::selectFilm(int position, bool showIt)
{
    // A command or an undo step that selects a film the search hides shows every film again.
    if (position >= 0 && m_list->isRowHidden(position))
        m_search->clear();
    {
        const QScopedValueRollback byCommand(m_selectingByCommand, true);
        setSelectedPosition(position);
    }
    if (showIt && position >= 0)
        m_editor.showFilm(m_catalogue.at(position));
}

// Select: the user picked a film in List1.
void CatalogueCommands::selectionChanged(const QItemSelection& deselected)
{
    const int position = selectedPosition();
    if (m_selectingByCommand || position < 0)
        return;
    const int previous = deselected.isEmpty() ? -1 : deselected.indexes().constFirst().row();
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
    selectFilm(-1, false);
    m_editor.showFilm(FilmRecord());
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
    // A second copy of a film is seldom meant: Update after Update adds the film it just stored.
    if (position < 0 && m_catalogue.entries().contains(film) &&
        m_desktop.messageBox(QStringLiteral("This film is already in the list. Add it again?"),
                             Buttons::YesNo) != Answer::Yes)
        return false;
    m_editor.rememberHistories();
    // A picked film stored unchanged leaves nothing to save and no step to take back.
    if (position >= 0 && film == m_catalogue.at(position))
        return true;
    m_catalogue.setModified(true);
    if (position >= 0) {
        pushStep(new ReplaceFilm(m_catalogue, *this, position, film));
    } else if (m_catalogue.count() < Catalogue::MaxEntries) {
        pushStep(new AddFilms(m_catalogue,
                              *this,
                              m_catalogue.count(),
                              {film},
                              stepText(QStringLiteral("Update"), film.title())));
    } else {
        tell(m_desktop,
             QStringLiteral("The list is full: it holds %1 films, the most a list can hold. "
                            "The film was not added.")
                 .arg(QLocale(QLocale::English).toString(Catalogue::MaxEntries)));
        return false;
    }
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
