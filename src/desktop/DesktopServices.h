// The one interface through which Reelkeep reaches the desktop: questions, file dialogs,
// settings, files, the program's own folder and command line, the browser and other programs.
#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace reelkeep {

/// The button sets of a message box.
enum class Buttons
{
    Ok,
    YesNo,
    YesNoCancel,
    /// Yes, No and Cancel captioned "Store", "Discard" and "Cancel"; they answer Yes, No and Cancel.
    StoreDiscardCancel,
};

/// The pressed button, with the numbers message boxes traditionally report.
enum class Answer
{
    Ok = 1,
    Cancel = 2,
    Yes = 6,
    No = 7,
};

/// A file dialog that keeps its last file name and filter position from one use to the next.
struct FileDialogState
{
    QString title;
    /// Description and pattern pairs separated by vertical bars, as "Text (*.txt)|*.txt|...".
    QString filter;
    /// Appended to a name typed without an extension, unless the selected filter is one
    /// "*.ext" pattern: then that filter's extension is.
    QString defaultExtension;
    /// The name the dialog proposes, in its folder when it has one; afterwards the chosen path.
    QString fileName;
    /// The selected filter entry, counted from 1.
    int filterIndex = 1;
};

class DesktopServices
{
public:
    virtual ~DesktopServices() = default;

    /// A modal message box captioned with the program's title, without an icon.
    virtual Answer messageBox(const QString& text, Buttons buttons) = 0;
    /// Shows a save or open dialog; returns false when the user cancels. Otherwise the chosen
    /// path is in dialog.fileName and the chosen filter in dialog.filterIndex. The save dialog
    /// never asks about replacing a file itself: its callers ask "Replace File?".
    virtual bool saveFileDialog(FileDialogState& dialog) = 0;
    virtual bool openFileDialog(FileDialogState& dialog) = 0;

    /// A setting of the per-user store, or defaultText when nothing is stored.
    virtual QString
    readSetting(const QString& section, const QString& key, const QString& defaultText = {}) = 0;
    virtual void writeSetting(const QString& section, const QString& key, const QString& text) = 0;

    virtual bool fileExists(const QString& path) = 0;
    /// Returns true when the file is gone afterwards.
    virtual bool deleteFile(const QString& path) = 0;

    /// The folder that holds the program, without a trailing separator.
    virtual QString applicationFolder() = 0;
    /// The text that followed the program's name when it was started.
    virtual QString commandLine() = 0;

    /// Asks the browser to show an address; does not wait.
    virtual void openWebAddress(const QString& address) = 0;
    /// Starts a program in a normal window without waiting; false when it could not start.
    virtual bool startProgram(const QString& path) = 0;
    /// Lets the user interface handle pending events (repaints, clicks).
    virtual void yield() = 0;
    /// The clock behind the current date and time.
    virtual QDateTime now() = 0;
};

} // namespace reelkeep
