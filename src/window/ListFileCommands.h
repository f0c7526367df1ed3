// The main window's list files: Save, Load, the recent lists and Import, and the file the window
// shows with the form each file is written in.
#pragma once

#include "desktop/DesktopServices.h"
#include "storage/ListFile.h"
#include "window/CatalogueSteps.h"

#include <QObject>

class QMenu;

namespace reelkeep {

class CatalogueCommands;
class CommandRunner;
class PageTexts;

class ListFileCommands : public QObject, private WindowList
{
    Q_OBJECT

public:
    /// Fills recentMenu with the recent lists; dialogs open over window.
    ListFileCommands(DesktopServices& desktop,
                     Catalogue& catalogue,
                     CatalogueCommands& commands,
                     PageTexts& pageTexts,
                     CommandRunner& runner,
                     QMenu& recentMenu,
                     QWidget* window);

    /// The list file loaded or saved last, which Ctrl+S saves to; the empty text before any.
    const QString& currentFile() const { return m_currentFile; }

    /// The Save command ("Save", Ctrl+Shift+S): asks for the name; true when a file was written.
    bool saveCommand();
    /// Ctrl+S: saves to the current file in its form without a dialog, or runs the Save command
    /// when there is none.
    bool saveToCurrentFile();
    void loadCommand();
    /// The Import command: films from a spreadsheet's delimited file, appended as one step.
    void importCommand();
    /// The Export command: the list as a spreadsheet's file, as `reelkeep-cli export` writes it.
    void exportCommand();
    /// What the current file's form does not keep of what the window shows, as a sentence without
    /// its full stop (notKeptSentence()); empty when it keeps everything or there is no file.
    QString notKeptByCurrentFile() const;
    /// Replaces the catalogue by a list file, as start-up does, telling a failure when asked to.
    /// This load is no step for Undo.
    bool loadList(const QString& path, ListForm form, bool reportFailure);
    /// Fills the recent lists' menu from the settings.
    void refreshRecentMenu();

signals:
    /// The current file changed.
    void currentFileChanged();
    /// What a command did, for the line under the file commands.
    void statusChanged(const QString& text);
    /// The recent lists' menu was filled again.
    void recentListsChanged();

private:
    ListDocument documentToSave() const;
    /// Saves the catalogue to a path in a form; the path becomes the current file.
    bool writeList(const QString& path, ListForm form);
    /// Loads a list file; the Load command's load is a step for Undo.
    bool openList(const QString& path, ListForm form, bool reportFailure, bool undoable);
    /// The questions before a load: typed edits, then a modified catalogue; false to stop.
    bool mayLoad();
    /// Loads a list from the recent lists, as Load would; a file that is gone leaves the lists.
    void loadRecentList(const QString& path);
    void rememberRecentList(const QString& path);
    void writeRecentLists(const QStringList& recent);
    /// The list dialog proposes the current file, with the filter of its extension.
    void proposeCurrentFile();
    /// The catalogue now matches a list file of a form: the undo stack's clean state, and not
    /// modified unless the page texts are ones the form does not keep.
    void markClean(ListForm form);

    ListInWindow listInWindow() const override;
    void showList(const ListInWindow& list) override;

    DesktopServices& m_desktop;
    Catalogue& m_catalogue;
    CatalogueCommands& m_commands;
    PageTexts& m_pageTexts;
    CommandRunner& m_runner;
    QMenu& m_recentMenu;
    QWidget* m_window;
    FileDialogState m_listDialog;
    FileDialogState m_importDialog;
    FileDialogState m_exportDialog;
    QString m_currentFile;
    ListForm m_currentForm = ListForm::Native;
    ListEncoding m_currentEncoding = ListEncoding::Windows1252;
};

} // namespace reelkeep
