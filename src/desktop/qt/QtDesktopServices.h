// The desktop as Qt provides it: message boxes, file dialogs, QSettings, the browser and processes.
#pragma once

#include "desktop/DesktopServices.h"

#include <QPointer>
#include <QWidget>

namespace reelkeep {

class QtDesktopServices : public DesktopServices
{
public:
    /// Dialogs and message boxes are modal to the given window, once it is set.
    void setParentWindow(QWidget* window) { m_parent = window; }

    Answer messageBox(const QString& text, Buttons buttons) override;
    bool saveFileDialog(FileDialogState& dialog) override;
    bool openFileDialog(FileDialogState& dialog) override;
    QString readSetting(const QString& section, const QString& key, const QString& defaultText = {}) override;
    void writeSetting(const QString& section, const QString& key, const QString& text) override;
    bool fileExists(const QString& path) override;
    bool deleteFile(const QString& path) override;
    QString applicationFolder() override;
    QString commandLine() override;
    void openWebAddress(const QString& address) override;
    bool startProgram(const QString& path) override;
    void yield() override;
    QDateTime now() override;

private:
    bool runFileDialog(FileDialogState& dialog, bool saving);

    QPointer<QWidget> m_parent;
};

/// Turns "Description|pattern|Description|pattern" into Qt's "Description (pattern);;..." form.
QStringList qtNameFilters(const QString& filter);

} // namespace reelkeep
