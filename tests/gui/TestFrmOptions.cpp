// The Options dialog on the offscreen platform, with a scripted desktop holding the settings.
#include "storage/widgets/frmOptions.h"
#include "support/FakeDesktop.h"

#include <QAccessible>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace reelkeep;
using namespace Qt::StringLiterals;

using Settings = QMap<QString, QString>;

namespace {

const QString AutoLoad = u"Genral/AutoLoad File"_s;
const QString AutoLoadFileName = u"Genral/AutoLoad FileName"_s;
const QString KeepPreviousVersion = u"Genral/Keep Previous Version"_s;
const QString KeepCoversWithList = u"Genral/Keep Covers With List"_s;

QString accessibleName(QWidget* widget)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

} // namespace

class TestFrmOptions : public QObject
{
    Q_OBJECT

private slots:
    void controls();
    void finishing_data();
    void finishing();
    void browse_data();
    void browse();
    void switches_data();
    void switches();
};

// Screen readers and automation tools find every control by its name and read what it is for.
void TestFrmOptions::controls()
{
    FakeDesktop desktop;
    frmOptions window(desktop);
    QCOMPARE(window.windowTitle(), u"Options"_s);
    QCOMPARE(window.findChild<QPushButton*>("Command1")->text(), u"..."_s);
    const std::pair<const char*, const char*> named[] = {
        {"Frame1", "Auto Load List"},
        {"Check1", "Auto Load"},
        {"Text1", "Auto load file name"},
        {"Command1", "Browse"},
        {"Check2", "Keep the previous version of a file saved over (NAME.rkf.bak beside NAME.rkf)"},
        {"Check3", "Keep covers with the list: copy pictures into the folder NAME covers"},
        {"Command2", "OK"},
        {"Command3", "Cancel"}};
    for (const auto& [name, accessible] : named) {
        QWidget* control = window.findChild<QWidget*>(name);
        QVERIFY2(control, name);
        QCOMPARE(accessibleName(control), QString::fromLatin1(accessible));
    }
    // Tab goes round every control, from the box to the buttons and back.
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.findChild<QWidget*>("Check1")->setFocus();
    QStringList visited;
    for (int i = 0; i < 7; ++i) {
        visited.append(QApplication::focusWidget()->objectName());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(visited,
             (QStringList{"Check1", "Text1", "Command1", "Check2", "Check3", "Command2", "Command3"}));
    QCOMPARE(QApplication::focusWidget()->objectName(), u"Check1"_s);
}

void TestFrmOptions::finishing_data()
{
    QTest::addColumn<Settings>("stored");
    QTest::addColumn<bool>("toggle");
    QTest::addColumn<QString>("typed"); // replaces the file name unless null
    QTest::addColumn<QString>("finish");
    QTest::addColumn<int>("result");
    QTest::addColumn<Settings>("after");

    const Settings on{{AutoLoad, "True"}, {AutoLoadFileName, "/films/a.rkf"}};
    const QString misspelt = u"/films/mispelt.rkf"_s;
    const int accepted = QDialog::Accepted;
    const int rejected = QDialog::Rejected;
    QTest::newRow("OK with nothing stored stores False and the empty text")
        << Settings{} << false << QString() << "OK" << accepted
        << Settings{{AutoLoad, "False"}, {AutoLoadFileName, ""}};
    QTest::newRow("ticked with a misspelt name stores True and the name as typed")
        << Settings{} << true << misspelt << "OK" << accepted
        << Settings{{AutoLoad, "True"}, {AutoLoadFileName, misspelt}};
    QTest::newRow("unticking and emptying stores False and the empty text")
        << on << true << ""
        << "OK" << accepted << Settings{{AutoLoad, "False"}, {AutoLoadFileName, ""}};
    QTest::newRow("a name is shown and stored back exactly as it was")
        << Settings{{AutoLoadFileName, " spaced name.rkf "}} << false << QString() << "OK" << accepted
        << Settings{{AutoLoad, "False"}, {AutoLoadFileName, " spaced name.rkf "}};
    QTest::newRow("lower-case true is stored back as False")
        << Settings{{AutoLoad, "true"}} << false << QString() << "OK" << accepted
        << Settings{{AutoLoad, "False"}, {AutoLoadFileName, ""}};
    QTest::newRow("Enter presses OK") << Settings{} << true << misspelt << "Enter" << accepted
                                      << Settings{{AutoLoad, "True"}, {AutoLoadFileName, misspelt}};
    QTest::newRow("Enter on a focused Cancel stores nothing")
        << on << true << misspelt << "Enter on Cancel" << rejected << on;
    QTest::newRow("Cancel after changing both stores nothing")
        << on << true << misspelt << "Cancel" << rejected << on;
}

void TestFrmOptions::finishing()
{
    QFETCH(Settings, stored);
    QFETCH(bool, toggle);
    QFETCH(QString, typed);
    QFETCH(QString, finish);
    QFETCH(int, result);
    QFETCH(Settings, after);

    FakeDesktop desktop;
    desktop.settings = stored;
    frmOptions window(desktop);
    // The box is ticked by exactly True alone; opening stores nothing.
    QCOMPARE(window.findChild<QCheckBox*>("Check1")->isChecked(), stored.value(AutoLoad) == u"True");
    QCOMPARE(window.findChild<QLineEdit*>("Text1")->text(), stored.value(AutoLoadFileName));
    QCOMPARE(desktop.settings, stored);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    if (toggle)
        QTest::keyClick(window.findChild<QCheckBox*>("Check1"), Qt::Key_Space);
    auto* text1 = window.findChild<QLineEdit*>("Text1");
    if (!typed.isNull()) {
        text1->clear();
        QTest::keyClicks(text1, typed);
    }
    if (finish == QLatin1String("OK"))
        QTest::mouseClick(window.findChild<QPushButton*>("Command2"), Qt::LeftButton);
    else if (finish == QLatin1String("Cancel"))
        QTest::mouseClick(window.findChild<QPushButton*>("Command3"), Qt::LeftButton);
    else if (finish == QLatin1String("Enter"))
        QTest::keyClick(text1, Qt::Key_Return);
    else
        QTest::keyClick(window.findChild<QPushButton*>("Command3"), Qt::Key_Return);

    QVERIFY(!window.isVisible());
    QCOMPARE(window.result(), result);
    // OK stores whether to keep the previous version and the covers too, here as shown: on, off.
    if (result == QDialog::Accepted) {
        after.insert(KeepPreviousVersion, u"True"_s);
        after.insert(KeepCoversWithList, u"False"_s);
    }
    QCOMPARE(desktop.settings, after);
    QVERIFY(desktop.questions().isEmpty());
}

void TestFrmOptions::browse_data()
{
    QTest::addColumn<QString>("choice"); // empty: the user cancels
    QTest::addColumn<QString>("fileName");

    QTest::newRow("chosen file fills the name") << u"/films/new.rkf"_s << u"/films/new.rkf"_s;
    QTest::newRow("cancelled browse keeps the name") << QString() << u"/films/old.rkf"_s;
}

void TestFrmOptions::browse()
{
    QFETCH(QString, choice);
    QFETCH(QString, fileName);

    FakeDesktop desktop;
    desktop.settings.insert(AutoLoadFileName, u"/films/old.rkf"_s);
    desktop.queueFileChoice(choice);
    frmOptions window(desktop);
    // The open dialog starts on the pattern of native list files at every opening.
    QCOMPARE(window.commonDialog1().title, u"Auto List"_s);
    QCOMPARE(window.commonDialog1().filter, u"*.rkf|*.rkf"_s);
    QCOMPARE(window.commonDialog1().fileName, u"*.rkf"_s);
    QCOMPARE(window.commonDialog1().defaultExtension, u"rkf"_s);

    QTest::mouseClick(window.findChild<QPushButton*>("Command1"), Qt::LeftButton);
    QCOMPARE(desktop.dialogs(), QStringList{"Auto List"});
    QCOMPARE(window.findChild<QLineEdit*>("Text1")->text(), fileName);
    // Browsing alone stores nothing.
    QCOMPARE(desktop.settings, (Settings{{AutoLoadFileName, "/films/old.rkf"}}));
}

// A save keeps the previous version of a list file until its box is unticked and OK stores
// "False"; covers are copied beside the list only once their box is ticked and OK stores "True".
void TestFrmOptions::switches_data()
{
    QTest::addColumn<QString>("check");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored"); // null: never written
    QTest::addColumn<bool>("toggle");
    QTest::addColumn<QString>("after");
    QTest::newRow("previous version on when never stored")
        << u"Check2"_s << KeepPreviousVersion << QString() << false << u"True"_s;
    QTest::newRow("previous version turned off")
        << u"Check2"_s << KeepPreviousVersion << QString() << true << u"False"_s;
    QTest::newRow("only the exact text False turns it off")
        << u"Check2"_s << KeepPreviousVersion << u"false"_s << false << u"True"_s;
    QTest::newRow("previous version on again")
        << u"Check2"_s << KeepPreviousVersion << u"False"_s << true << u"True"_s;
    QTest::newRow("covers off when never stored")
        << u"Check3"_s << KeepCoversWithList << QString() << false << u"False"_s;
    QTest::newRow("covers turned on") << u"Check3"_s << KeepCoversWithList << QString() << true << u"True"_s;
    QTest::newRow("only the exact text True turns covers on")
        << u"Check3"_s << KeepCoversWithList << u"true"_s << false << u"False"_s;
}

void TestFrmOptions::switches()
{
    QFETCH(QString, check);
    QFETCH(QString, key);
    QFETCH(QString, stored);
    QFETCH(bool, toggle);
    QFETCH(QString, after);
    FakeDesktop desktop;
    if (!stored.isNull())
        desktop.settings.insert(key, stored);
    frmOptions window(desktop);
    auto* box = window.findChild<QCheckBox*>(check);
    QCOMPARE(box->isChecked(), toggle != (after == u"True"_s));
    if (toggle)
        box->click();
    QTest::mouseClick(window.findChild<QPushButton*>("Command2"), Qt::LeftButton);
    QCOMPARE(desktop.settings.value(key), after);
}

QTEST_MAIN(TestFrmOptions)
#include "TestFrmOptions.moc"
