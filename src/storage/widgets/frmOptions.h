// The Options dialog: whether and which list file to load at start-up, and whether a save keeps
// the version of a list file it replaces.
#pragma once

#include "desktop/DesktopServices.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace reelkeep {

class frmOptions : public QDialog
{
    Q_OBJECT

public:
    /// Shows the stored settings; only OK stores them again.
    explicit frmOptions(DesktopServices& desktop, QWidget* parent = nullptr);

    /// The open dialog behind "...", as it stands now.
    const FileDialogState& commonDialog1() const { return m_commonDialog1; }

private:
    void command1Clicked();
    void command2Clicked();

    DesktopServices& m_desktop;
    FileDialogState m_commonDialog1;
    QCheckBox* m_check1;
    QLineEdit* m_text1;
    /// Keep the previous version of a list file when a save replaces it.
    QCheckBox* m_check2;
    QCheckBox* m_check3;
};

} // namespace reelkeep
