// The Options dialog: whether and which list file to load at start-up.
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
    /// Shows the stored auto-load settings; only OK stores them again.
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
};

} // namespace reelkeep
