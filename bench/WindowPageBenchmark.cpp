// Times "Make HTML File" in the main window, on the offscreen platform, for one list file:
//   reelkeep_window_page_bench LISTFILE APPFOLDER OUTPUT
// APPFOLDER holds the folder "template"; prints the seconds the command took.
#include "about/SystemInfo.h"
#include "desktop/DesktopServices.h"
#include "window/Form1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <cstdio>

using namespace reelkeep;

namespace {

// A desktop that names the page when asked and lets the window handle its events at each yield.
class ScriptedDesktop : public DesktopServices
{
public:
    ScriptedDesktop(QString appFolder, QString page)
        : m_appFolder(std::move(appFolder))
        , m_page(std::move(page))
    {}

    Answer messageBox(const QString& text, Buttons) override
    {
        QTextStream(stderr) << text << '\n';
        return Answer::Yes;
    }
    bool saveFileDialog(FileDialogState& dialog) override
    {
        dialog.fileName = m_page;
        return true;
    }
    bool openFileDialog(FileDialogState&) override { return false; }
    QString readSetting(const QString&, const QString&, const QString& defaultText) override
    {
        return defaultText;
    }
    void writeSetting(const QString&, const QString&, const QString&) override {}
    bool fileExists(const QString&) override { return false; }
    bool deleteFile(const QString&) override { return true; }
    QString applicationFolder() override { return m_appFolder; }
    QString commandLine() override { return {}; }
    void openWebAddress(const QString&) override {}
    bool startProgram(const QString&) override { return false; }
    void yield() override { QCoreApplication::processEvents(); }
    QDateTime now() override { return QDateTime::currentDateTime(); }

private:
    QString m_appFolder;
    QString m_page;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 4) {
        std::fputs("usage: reelkeep_window_page_bench LISTFILE APPFOLDER OUTPUT\n", stderr);
        return 1;
    }
    ScriptedDesktop desktop(arguments[2], arguments[3]);
    Form1 window(desktop, systemRegistry());
    window.show();
    if (!window.loadList(arguments[1], ListForm::FromName, true))
        return 2;
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    window.makePageCommand();
    QTextStream(stdout) << QString::number(timer.nsecsElapsed() / 1e9, 'f', 3) << '\n';
    return 0;
}
