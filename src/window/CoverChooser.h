// The Source of a film's cover as the user picks a picture: by the Browse... button or by a drop on
// the Image frame, copied beside the list file when the options keep covers with the list.
#pragma once

#include "desktop/DesktopServices.h"

#include <QObject>

class QLineEdit;
class QPushButton;

namespace reelkeep {

class CommandRunner;
class PosterFrame;

class CoverChooser : public QObject
{
    Q_OBJECT

public:
    /// Fills `source` with the pictures chosen through `browse` or dropped on `poster`.
    CoverChooser(DesktopServices& desktop, CommandRunner& runner, QLineEdit& source, PosterFrame& poster);

    /// The Browse... button that sits beside Source.
    QPushButton* browseButton() const { return m_browse; }
    /// The list file shown, the empty text for a list without one.
    void setListFile(const QString& file) { m_listFile = file; }
    /// The folder a relative Source names a picture in: the list file's, or empty for none.
    QString listFolder() const;

    /// Asks for a picture in an open dialog and makes it the Source.
    void browseCommand();
    /// Makes a picture file the Source: a copy beside the list when covers are kept with it, or the
    /// file where it is, relative to the list's folder when it lies below it.
    void choose(const QString& picture);

private:
    DesktopServices& m_desktop;
    QLineEdit& m_source;
    QPushButton* m_browse;
    FileDialogState m_dialog;
    QString m_listFile;
};

} // namespace reelkeep
