// reelkeep: the desktop program. Opens the main window, which loads a list file named on the command line.
#include "about/SystemInfo.h"
#include "about/Version.h"
#include "desktop/qt/QtDesktopServices.h"
#include "window/Form1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(reelkeep::ProductTitle));
    QApplication::setApplicationVersion(QString::fromLatin1(reelkeep::VersionText));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/reelkeep.svg")));
    // Lets the desktop match the window with its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.reelkeep.Reelkeep"));

    reelkeep::QtDesktopServices desktop;
    reelkeep::Form1 window(desktop, reelkeep::systemRegistry());
    desktop.setParentWindow(&window);
    window.show();
    return QApplication::exec();
}
