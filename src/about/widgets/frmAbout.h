// The About box: the product's name, version and web address, and a way to the system-information tool.
#pragma once

#include <QDialog>

namespace reelkeep {

class DesktopServices;
class Registry;

class frmAbout : public QDialog
{
    Q_OBJECT

public:
    /// The registry is where the system-information tool is looked up.
    frmAbout(DesktopServices& desktop, Registry& registry, QWidget* parent = nullptr);

private:
    void cmdSysInfoClicked();
    void descriptionLinkActivated(const QString& address);

    DesktopServices& m_desktop;
    Registry& m_registry;
};

} // namespace reelkeep
