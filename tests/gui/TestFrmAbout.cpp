// The About box on the offscreen platform, with a scripted desktop and an in-memory registry.
#include "about/FakeRegistry.h"
#include "about/Product.h"
#include "about/Version.h"
#include "about/widgets/frmAbout.h"
#include "support/FakeDesktop.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace reelkeep;
using namespace Qt::StringLiterals;

namespace {

const QString Unavailable = u"System Information Is Unavailable At This Time"_s;
const QString SysInfoKey = u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"_s;
const QString Tool = u"C:\\Tools\\msinfo32.exe"_s;

QString accessibleName(QWidget* widget)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

} // namespace

class TestFrmAbout : public QObject
{
    Q_OBJECT

private slots:
    void controls();
    void buttonsAndKeys_data();
    void buttonsAndKeys();
};

// Screen readers and automation tools find every control by its name and read what it says; the
// version text "0.1.2" and the label's numbers come from the one version number.
void TestFrmAbout::controls()
{
    FakeDesktop desktop;
    AbsentRegistry registry;
    frmAbout window(desktop, registry);
    QCOMPARE(window.windowTitle(), u"About Reelkeep"_s);
    QVERIFY(!window.findChild<QLabel*>("picIcon")->pixmap().isNull());
    const QString version = u"Version "_s + QLatin1String(VersionText);
    QCOMPARE(window.findChild<QLabel*>("lblVersion")->text(), version);
    QCOMPARE(window.findChild<QLabel*>("lblTitle")->text(), u"Reelkeep"_s);
    const std::pair<const char*, QString> named[] = {{"picIcon", "Reelkeep icon"},
                                                     {"lblTitle", "Reelkeep"},
                                                     {"lblVersion", version},
                                                     {"lblDescription", "URL: " + ProductWebAddress},
                                                     {"cmdOK", "OK"},
                                                     {"cmdSysInfo", "System Info..."}};
    for (const auto& [name, accessible] : named) {
        QWidget* control = window.findChild<QWidget*>(name);
        QVERIFY2(control, name);
        QCOMPARE(accessibleName(control), accessible);
    }

    // Tab leads from the buttons to the address, and Enter opens it through the desktop.
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QStringList visited{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 2; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(QApplication::focusWidget()->objectName());
    }
    QCOMPARE(visited, (QStringList{"cmdOK", "cmdSysInfo", "lblDescription"}));
    auto* description = window.findChild<QLabel*>("lblDescription");
    // Inside the label, Tab moves on to its link.
    QTest::keyClick(description, Qt::Key_Tab);
    QCOMPARE(description->selectedText(), ProductWebAddress);
    QTest::keyClick(description, Qt::Key_Return);
    QCOMPARE(desktop.openedAddresses(), QStringList{ProductWebAddress});
    // The label opens nothing by itself; the address went only through the desktop.
    QVERIFY(!description->openExternalLinks());
    QVERIFY(window.isVisible());
}

void TestFrmAbout::buttonsAndKeys_data()
{
    QTest::addColumn<bool>("registered");
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("result"); // -1: the About box stays open
    QTest::addColumn<QStringList>("started");
    QTest::addColumn<QStringList>("questions");

    const int open = -1;
    // Closing starts nothing and asks nothing.
    QTest::newRow("OK button closes")
        << true << "click OK" << int(QDialog::Accepted) << QStringList{} << QStringList{};
    QTest::newRow("Enter presses OK")
        << true << "Enter" << int(QDialog::Accepted) << QStringList{} << QStringList{};
    QTest::newRow("Escape closes") << true << "Escape" << int(QDialog::Rejected) << QStringList{}
                                   << QStringList{};
    // The About box stays open after the tool starts or the notice is read.
    QTest::newRow("System Info without a registry tells the user")
        << false << "click System Info" << open << QStringList{} << QStringList{Unavailable};
    QTest::newRow("System Info starts the registered tool")
        << true << "click System Info" << open << QStringList{Tool} << QStringList{};
    QTest::newRow("Alt+S runs it from the keyboard")
        << true << "Alt+S" << open << QStringList{Tool} << QStringList{};
    QTest::newRow("Enter on the focused button runs it")
        << true << "Enter on System Info" << open << QStringList{Tool} << QStringList{};
}

void TestFrmAbout::buttonsAndKeys()
{
    QFETCH(bool, registered);
    QFETCH(QString, how);
    QFETCH(int, result);
    QFETCH(QStringList, started);
    QFETCH(QStringList, questions);

    FakeDesktop desktop;
    FakeRegistry fakeRegistry;
    fakeRegistry.setText(SysInfoKey, u"PATH"_s, Tool);
    AbsentRegistry absentRegistry;
    frmAbout window(desktop, registered ? static_cast<Registry&>(fakeRegistry) : absentRegistry);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto* cmdSysInfo = window.findChild<QPushButton*>("cmdSysInfo");
    if (how == QLatin1String("click OK")) {
        QTest::mouseClick(window.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    } else if (how == QLatin1String("click System Info")) {
        QTest::mouseClick(cmdSysInfo, Qt::LeftButton);
    } else if (how == QLatin1String("Alt+S")) {
        QTest::keyClick(&window, Qt::Key_S, Qt::AltModifier);
    } else if (how == QLatin1String("Enter on System Info")) {
        cmdSysInfo->setFocus();
        QTest::keyClick(cmdSysInfo, Qt::Key_Return);
    } else {
        QTest::keyClick(&window, how == QLatin1String("Enter") ? Qt::Key_Return : Qt::Key_Escape);
    }
    // An access key presses the button as a click would, after showing it pressed.
    QTRY_COMPARE(desktop.startedPrograms(), started);
    QTRY_COMPARE(desktop.questions(), questions);
    QCOMPARE(window.isVisible(), result < 0);
    if (result >= 0)
        QCOMPARE(window.result(), result);
}

QTEST_MAIN(TestFrmAbout)
#include "TestFrmAbout.moc"
