// The main window: the catalogue editor on "Movies", the page texts and commands on "Genral".
#pragma once

#include "catalogue/Catalogue.h"
#include "catalogue/FilmSearch.h"
#include "desktop/DesktopServices.h"
#include "evaluator/Equation_Evaluater.h"
#include "functions/Defalt_Functions.h"
#include "pagegen/File_Filter.h"
#include "pagegen/PageHost.h"
#include "storage/ListFile.h"
#include "window/CatalogueSteps.h"

#include <QMainWindow>
#include <QUndoStack>

#include <array>
#include <functional>
#include <new>
#include <type_traits>

class QAction;
class QComboBox;
class QItemSelection;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStringListModel;
class QTabWidget;

namespace reelkeep {

class PosterFrame;
class Registry;

class Form1 : public QMainWindow, private PageContext, private CatalogueView
{
    Q_OBJECT

public:
    /// Builds the window and runs the start-up: histories, the auto-load file, the command line.
    Form1(DesktopServices& desktop, Registry& registry, QWidget* parent = nullptr);

    Catalogue& catalogue() { return m_catalogue; }
    /// The selected position of List1, or -1 for none.
    int selectedPosition() const;
    /// Whether the film's fields hold something to store: they differ from what they last showed
    /// or stored, and, with no film picked, from every film of the list.
    bool hasPendingEdits() const;
    /// The list file loaded or saved last, which Ctrl+S saves to; the empty text before any.
    const QString& currentFile() const { return m_currentFile; }

    /// The steps Undo takes back at most, the oldest going first.
    static constexpr int UndoLimit = 1000;
    /// What the steps keep at most of the films and texts they took away (a load keeps the list
    /// it replaced), the oldest steps letting theirs go first.
    static constexpr qsizetype UndoBudgetBytes = qsizetype(256) << 20;

    /// The steps that Undo takes back and Redo does again.
    QUndoStack& undoStack() { return m_undo; }
    void setUndoBudget(qsizetype bytes) { m_stepBudget.setBytes(bytes); }
    /// Appends films to the catalogue as one step named stepText; refuses (returns false,
    /// changing nothing) when they would not all fit.
    bool appendFilms(const QList<FilmRecord>& films, const QString& stepText);

    /// The Save command ("Save", Ctrl+Shift+S): asks for the name; true when a file was written.
    bool saveCommand();
    /// Ctrl+S: saves to the current file in its form without a dialog, or runs the Save command
    /// when there is none.
    bool saveToCurrentFile();
    void loadCommand();
    /// Loads a list from the recent lists, as Load would; a file that is gone leaves the lists.
    void loadRecentList(const QString& path);
    /// The Import command: films from a spreadsheet's delimited file, appended as one step.
    void importCommand();
    /// Replaces the catalogue by a list file, as start-up does, telling a failure when asked to.
    /// This load is no step for Undo.
    bool loadList(const QString& path, ListForm form, bool reportFailure);

    /// The "Make HTML File" command: asks for the page's name and runs the main template.
    void makePageCommand();
    bool isMakingPage() const { return m_filter.isRunning(); }
    /// Stops the page being made; it keeps what was written.
    void stopPage();
    void showTemplateWarnings(const QList<TemplateWarning>& warnings);
    PageHost& pageHost() { return m_pageHost; }
    File_Filter& templateFilter() { return m_filter; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildMoviesTab(QWidget* tab);
    void buildGeneralTab(QWidget* tab);
    QLayout* buildCatalogueButtons();
    /// The search field and the film count above List1.
    QLayout* buildSearchBar();
    void connectSearch();
    /// Type, Genre and Release complete from the values the catalogue holds.
    void connectCompletion();
    void refreshCompletion();
    /// The Image frame shows the Source's picture and takes dropped image files.
    void connectPoster();
    void refreshPoster();
    /// Hides the films that do not hold every word of the search, and says how many are shown.
    void applySearch();
    void connectCommands();
    void connectUndo();

    /// Runs a command so that a lack of memory ends the command, not the program: the steps it
    /// pushed are taken back, the fields, the selection and the modified flag are put back as they
    /// were, and the user is told. A command run inside another (while a page run yields) leaves
    /// that to the outer one.
    void runCommand(const std::function<void()>& command);
    /// A command as a slot, run by runCommand: a member function of the window, or a callable.
    template <typename Command> auto asCommand(Command command)
    {
        return [this, command] {
            runCommand([this, &command] {
                if constexpr (std::is_member_function_pointer_v<Command>)
                    (this->*command)();
                else
                    command();
            });
        };
    }
    /// A slot that Qt calls while a command changes the catalogue: no exception may pass through
    /// Qt, so a lack of memory is noted for the command around it, which then ends as runCommand
    /// ends it.
    template <typename Slot> auto notingLackOfMemory(Slot slot)
    {
        return [this, slot] {
            try {
                (this->*slot)();
            } catch (const std::bad_alloc&) {
                m_memoryRanOut = true;
            }
        };
    }
    struct CommandStart;
    /// Puts back what a command that ran out of memory changed.
    void putBack(const CommandStart& start);
    QPushButton* makeButton(const char* objectName, const QString& caption);

    void startUp();
    void restoreHistories();
    void loadAutoLoadFile();
    void loadCommandLineFile();
    void loadAtStartUp(const QString& path);
    void storeHistories();
    /// The close question; true when the window may close.
    bool mayClose();

    void selectionChanged(const QItemSelection& deselected);
    void newCommand();
    void updateCommand();
    void removeCommand();
    void moveUpCommand();
    void moveDownCommand();
    void moveFilm(int position, ExchangeFilms::Moved moved);
    void undoCommand();
    void redoCommand();
    /// Does a step and puts it on the history, within the history's budget.
    void pushStep(CatalogueStep* step);
    /// Whether Undo (back) or Redo has a step to take.
    bool canTakeStep(bool back) const;
    /// Undo (back) or Redo, once the fields' typed edits may be given up.
    void takeStep(bool back);
    void setSelectedPosition(int position);
    /// Selects a position as a command does: no question, and the fields show the film only when asked.
    void selectFilm(int position, bool showIt);
    /// New's steps: no selection, empty fields, the keyboard in mTitle.
    void clearEditor();

    /// Update's storing: into the film at a position, or as a new film for -1. False when the
    /// catalogue is full, which it tells, or when the user does not want a second copy of a film.
    bool storeFields(int position);
    /// With typed edits not stored, asks whether to store them (at storeAt, as Update would)
    /// before a command that would drop them; false when the user cancels and the edits stay.
    bool settlePendingEdits(const QString& beforeWhat, int storeAt);

    FilmRecord recordFromControls() const;
    void showRecord(const FilmRecord& film);
    QString fieldText(Field field) const;
    void setFieldText(Field field, const QString& text);
    void rememberComboText(QComboBox* box);

    ListDocument documentToSave() const;
    /// Saves the catalogue to a path in a form; the path becomes the current file.
    bool writeList(const QString& path, ListForm form);
    /// Loads a list file; the Load command's load is a step for Undo.
    bool openList(const QString& path, ListForm form, bool reportFailure, bool undoable);
    /// The questions before a load: typed edits, then a modified catalogue; false to stop.
    bool mayLoad();
    void rememberRecentList(const QString& path);
    void writeRecentLists(const QStringList& recent);
    void refreshRecentMenu();
    /// The list dialog proposes the current file, with the filter of its extension.
    void proposeCurrentFile();
    /// The catalogue now matches a list file of a form: the undo stack's clean state, and not
    /// modified unless the page texts are ones the form does not keep.
    void markClean(ListForm form);
    /// Whether the page texts are those of a new window, which a .csv list loads with.
    bool pageTextsAreNew() const;
    /// Says what a command did in the line under the file commands.
    void showStatus(const QString& text);
    void tell(const QString& text);
    void setCommandsEnabled(bool enabled);
    void refreshUndoControls();
    void refreshTitle();
    void refreshModifiedMark();

    // The window as the undo steps see it.
    void showFilm(int position) override;
    ListInWindow listInWindow() const override;
    void showList(const ListInWindow& list) override;

    // The page generator's view of the window.
    const QList<FilmRecord>& films() const override { return m_catalogue.entries(); }
    QString pageTitle() const override;
    QString pageDescription() const override;
    void setProgress(float position) override;
    void setLabel(const QString& text) override;

    DesktopServices& m_desktop;
    Registry& m_registry;
    Catalogue m_catalogue;
    FilmSearch m_filmSearch{m_catalogue};
    /// Outlives the steps, which leave it as they go.
    StepBudget m_stepBudget{UndoBudgetBytes};
    QUndoStack m_undo;
    FileDialogState m_listDialog;
    FileDialogState m_pageDialog;
    FileDialogState m_importDialog;
    File_Filter m_filter;
    Defalt_Functions m_functions;
    Equation_Evaluater m_evaluator;
    PageHost m_pageHost;
    QString m_currentFile;
    ListForm m_currentForm = ListForm::Native;
    ListEncoding m_currentEncoding = ListEncoding::Windows1252;
    /// The fields as they were last shown or stored; any difference is a pending edit.
    FilmRecord m_shownFields;
    /// The window was asked to close while a page was being made.
    bool m_closeAfterPage = false;
    /// Set while the window itself fills the page texts, so that only the user's edits count as changes.
    bool m_fillingPageTexts = false;
    /// The user edited the page texts since the last native save or load; Undo then never
    /// reaches a state without changes.
    bool m_pageTextsEdited = false;
    /// Set while a command changes the selection itself, so that no question is asked.
    bool m_selectingByCommand = false;
    bool m_commandsEnabled = true;
    /// How many commands are running, one inside another.
    int m_commandDepth = 0;
    /// A slot ran out of memory during the command running.
    bool m_memoryRanOut = false;
    /// The steps the outermost command running has pushed.
    QList<CatalogueStep*> m_stepsOfCommand;

    QTabWidget* m_tabs = nullptr;
    QListView* m_list = nullptr;
    QLineEdit* m_search = nullptr;
    QLabel* m_count = nullptr;
    PosterFrame* m_poster = nullptr;
    /// The completions of Type, Genre and Release, in that order.
    std::array<QStringListModel*, 3> m_completions{};
    bool m_completionIsStale = false;
    std::array<QWidget*, FieldCount> m_fieldControls{};
    /// The line break each multi-line field was shown with, so that Update writes it back unchanged.
    std::array<QString, FieldCount> m_lineBreaks{};
    QComboBox* m_type = nullptr;
    QComboBox* m_genre = nullptr;
    QLineEdit* m_pageTitle = nullptr;
    QPlainTextEdit* m_pageDescription = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_label = nullptr;
    QPushButton* m_stop = nullptr;
    QPushButton* m_recent = nullptr;
    QMenu* m_recentMenu = nullptr;
    /// The line under the file commands: which page was written last (Open Page shows it in the
    /// browser), or what the last import or save brought.
    QLabel* m_status = nullptr;
    QPushButton* m_openPage = nullptr;
    QString m_writtenPage;
    /// Shown while the last page made has template warnings; lists them.
    QPushButton* m_showWarnings = nullptr;
    QList<TemplateWarning> m_templateWarnings;
    QPushButton* m_undoButton = nullptr;
    QPushButton* m_redoButton = nullptr;
    QAction* m_undoAction = nullptr;
    QAction* m_redoAction = nullptr;
};

} // namespace reelkeep
