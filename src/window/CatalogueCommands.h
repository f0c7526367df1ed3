// The catalogue's list on "Movies" and the commands that change it: the search above the list,
// Update, New, Remove, UP and DOWN, and Undo and Redo of every change.
#pragma once

#include "catalogue/FilmSearch.h"
#include "window/CatalogueSteps.h"

#include <QUndoStack>
#include <QWidget>

class QItemSelection;
class QLabel;
class QLineEdit;
class QListView;

namespace reelkeep {

class CommandRunner;
class DesktopServices;
class FilmEditor;
class PageTexts;

/// What every question about typed edits begins with.
inline const QString EditsNotStored =
    QStringLiteral("The edits typed into the film's fields are not in the list yet.");

class CatalogueCommands : public QWidget, private CatalogueView
{
    Q_OBJECT

public:
    /// The steps Undo takes back at most, the oldest going first.
    static constexpr int UndoLimit = 1000;
    /// What the steps keep at most of the films and texts they took away (a load keeps the list
    /// it replaced), the oldest steps letting theirs go first.
    static constexpr qsizetype UndoBudgetBytes = qsizetype(256) << 20;

    CatalogueCommands(DesktopServices& desktop,
                      Catalogue& catalogue,
                      FilmEditor& editor,
                      PageTexts& pageTexts,
                      CommandRunner& runner,
                      QWidget* parent = nullptr);

    /// The selected position of List1, or -1 for none.
    int selectedPosition() const;
    /// Selects a position as a command does: no question, and the fields show the film only when asked.
    void selectFilm(int position, bool showIt);
    /// Whether the film's fields hold something to store: they differ from what they last showed
    /// or stored, and, with no film picked, from every film of the list.
    bool hasPendingEdits() const;
    /// With typed edits not stored, asks whether to store them (at storeAt, as Update would)
    /// before a command that would drop them; false when the user cancels and the edits stay.
    bool settlePendingEdits(const QString& beforeWhat, int storeAt);
    /// Update's storing: into the film at a position, or as a new film for -1. False when the
    /// catalogue is full, which it tells, or when the user does not want a second copy of a film.
    bool storeFields(int position);
    /// Appends films to the catalogue as one step named stepText, the list taking the extra fields
    /// they hold values in (its own, then new ones); refuses (returns false, changing nothing) when
    /// they would not all fit.
    bool importFilms(const QList<FilmRecord>& films, const ExtraFields& fields, const QString& stepText);
    /// The list file lacks extra fields the window shows (its form keeps none): Undo then never
    /// reaches a state without changes.
    void setFieldsNotInFile(bool notInFile) { m_fieldsNotInFile = notInFile; }

    void newCommand();
    void updateCommand();
    void removeCommand();
    void moveUpCommand();
    void moveDownCommand();
    /// The Fields dialog's changes to the list's extra fields, each a step of its own.
    void addExtraField(const ExtraField& field);
    void renameExtraField(qsizetype position, const QString& name);
    void moveExtraField(qsizetype from, qsizetype to);
    /// Asks first when some film holds a value in the field; false when the user keeps it.
    bool removeExtraField(qsizetype position);
    void undoCommand() { takeStep(true); }
    void redoCommand() { takeStep(false); }
    /// Whether Undo (back) or Redo has a step to take.
    bool canTakeStep(bool back) const;
    /// Puts the keyboard in the search field.
    void focusSearch();

    /// The steps that Undo takes back and Redo does again.
    QUndoStack& undoStack() { return m_undo; }
    void setUndoBudget(qsizetype bytes) { m_stepBudget.setBytes(bytes); }
    /// Does a step and puts it on the history, within the history's budget.
    void pushStep(CatalogueStep* step);
    /// A command starts: the steps it pushes are its own.
    void forgetStepsOfCommand() { m_stepsOfCommand.clear(); }
    /// Takes back the steps the command running pushed; Redo never does them again.
    void takeBackStepsOfCommand();
    /// The list of films, whose context menu offers actions added to it.
    QListView* filmList() const { return m_list; }

signals:
    /// A step was pushed onto the history, which may have let the oldest ones go.
    void historyChanged();

private:
    QLayout* buildSearchBar();
    void connectSearch();
    /// Hides the films that do not hold every word of the search, and says how many are shown.
    void applySearch();
    void setSelectedPosition(int position);
    void selectionChanged(const QItemSelection& deselected);
    void moveFilm(int position, ExchangeFilms::Moved moved);
    /// Pushes a step and marks the catalogue changed.
    void change(CatalogueStep* step);
    /// The editors follow the list's extra fields, and the search looks in them.
    void extraFieldsChanged(const QList<qsizetype>& origins);
    /// Undo (back) or Redo, once the fields' typed edits may be given up.
    void takeStep(bool back);
    /// New's steps: no selection, empty fields, the keyboard in mTitle.
    void clearEditor();
    void showFilm(int position) override;

    DesktopServices& m_desktop;
    Catalogue& m_catalogue;
    FilmEditor& m_editor;
    PageTexts& m_pageTexts;
    CommandRunner& m_runner;
    FilmSearch m_filmSearch{m_catalogue};
    /// Outlives the steps, which leave it as they go.
    StepBudget m_stepBudget{UndoBudgetBytes};
    QUndoStack m_undo;
    /// The steps the outermost command running has pushed.
    QList<CatalogueStep*> m_stepsOfCommand;
    /// Set while a command changes the selection itself, so that no question is asked.
    bool m_selectingByCommand = false;
    bool m_fieldsNotInFile = false;
    QLineEdit* m_search = nullptr;
    QLabel* m_count = nullptr;
    QListView* m_list = nullptr;
};

} // namespace reelkeep
