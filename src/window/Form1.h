// The main window's shell: the two tabs, every command as an action with its keys, the busy state
// while a page is made, start-up and shut-down.
#pragma once

#include "catalogue/Catalogue.h"
#include "storage/ListFile.h"
#include "window/CommandRunner.h"

#include <QMainWindow>
#include <QUndoStack>

#include <functional>
#include <optional>

class QAction;
class QActionGroup;
class QMenu;
class QPushButton;
class QTabWidget;

namespace reelkeep {

class CatalogueCommands;
class DesktopServices;
class FilmEditor;
class ListFileCommands;
class PagePanel;
class PageTexts;
class Registry;
class frmStatistics;

class Form1 : public QMainWindow, private CommandRunner::Window
{
    Q_OBJECT

public:
    /// Builds the window and runs the start-up: histories, the auto-load file, the command line.
    Form1(DesktopServices& desktop, Registry& registry, QWidget* parent = nullptr);
    ~Form1() override;

    Catalogue& catalogue() { return m_catalogue; }
    /// The selected position of List1, or -1 for none.
    int selectedPosition() const;
    /// Whether the film's fields hold something to store (CatalogueCommands::hasPendingEdits).
    bool hasPendingEdits() const;
    /// The steps that Undo takes back and Redo does again.
    QUndoStack& undoStack();
    void setUndoBudget(qsizetype bytes);
    /// Replaces the catalogue by a list file, as start-up does (ListFileCommands::loadList).
    bool loadList(const QString& path, ListForm form, bool reportFailure);
    /// The "Make HTML File" command: asks for the page's name and runs the main template, the
    /// other commands disabled meanwhile.
    void makePageCommand();
    /// The "Statistics..." command: shows the collection's statistics in a window of their own,
    /// which stays open beside this one and follows the catalogue.
    void statisticsCommand();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    /// How things stood before a command, to be put back when it runs out of memory.
    struct CommandStart
    {
        int selected;
        FilmRecord fields;
        FilmRecord shownFields;
        bool modified;
        bool pageTextsEdited;
    };

    /// An action for a command, run through the command boundary; its keys work in the window.
    QAction* addCommand(const char* objectName, const QString& text, const std::function<void()>& command);
    void createCommands();
    /// The film editor, the catalogue commands, the page texts and the page panel.
    void createParts();
    void buildMoviesTab(QWidget* tab);
    void buildGeneralTab(QWidget* tab);
    void connectParts();
    void installUndoKeys();

    void startUp();
    void loadAtStartUp(const QString& path);
    void storeHistories();
    /// The close question; true when the window may close.
    bool mayClose();

    /// While a page is made, nothing may start another run or change the catalogue or the list
    /// file; Stop may.
    void setBusy(bool busy);
    void refreshUndoCommands();
    void refreshPageCommands();
    void refreshTitle();
    void refreshModifiedMark();

    void noteCommandStart() override;
    void putBackCommand() override;

    DesktopServices& m_desktop;
    Registry& m_registry;
    CommandRunner m_runner;
    Catalogue m_catalogue;
    std::optional<CommandStart> m_commandStart;
    /// The window was asked to close while a page was being made.
    bool m_closeAfterPage = false;

    PageTexts* m_pageTexts = nullptr;
    FilmEditor* m_editor = nullptr;
    CatalogueCommands* m_commands = nullptr;
    PagePanel* m_page = nullptr;
    ListFileCommands* m_files = nullptr;
    QTabWidget* m_tabs = nullptr;

    /// The commands a page run disables.
    QActionGroup* m_whileIdle = nullptr;
    QAction* m_moveUp = nullptr;
    QAction* m_moveDown = nullptr;
    QAction* m_new = nullptr;
    QAction* m_remove = nullptr;
    QAction* m_update = nullptr;
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
    QAction* m_find = nullptr;
    QAction* m_save = nullptr;
    QAction* m_saveToCurrentFile = nullptr;
    QAction* m_load = nullptr;
    /// Opens the recent lists' menu; enabled while it has entries.
    QAction* m_recent = nullptr;
    QAction* m_import = nullptr;
    QAction* m_export = nullptr;
    QAction* m_fields = nullptr;
    QAction* m_makePage = nullptr;
    QAction* m_stop = nullptr;
    QAction* m_openPage = nullptr;
    /// Shown while the last page made has template warnings; lists them.
    QAction* m_showWarnings = nullptr;
    QAction* m_about = nullptr;
    QAction* m_webPage = nullptr;
    QAction* m_exit = nullptr;
    QAction* m_options = nullptr;
    QAction* m_statistics = nullptr;

    QMenu* m_recentMenu = nullptr;
    QPushButton* m_stopButton = nullptr;
    QPushButton* m_undoButton = nullptr;
    QPushButton* m_redoButton = nullptr;
    /// Made the first time the Statistics command runs, kept while the window lives.
    frmStatistics* m_statisticsWindow = nullptr;
};

} // namespace reelkeep
