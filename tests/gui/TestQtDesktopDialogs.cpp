// The Qt desktop's file dialogs and message boxes, as the window's commands rely on them.
#include "desktop/qt/QtDesktopServices.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace reelkeep;
using namespace Qt::StringLiterals;

class TestQtDesktopDialogs : public QObject
{
    Q_OBJECT

private slots:
    void saveDialogProposesTheFileAndAsksNothing_data();
    void saveDialogProposesTheFileAndAsksNothing();
    void storeDiscardCancelAnswersYesNoCancel();
};

// Runs check on the modal dialog that opens next, then closes it.
template <typename Dialog, typename Check> static void whenOpen(Check check)
{
    QTimer::singleShot(0, [check] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        check(dialog);
    });
}

void TestQtDesktopDialogs::saveDialogProposesTheFileAndAsksNothing_data()
{
    QTest::addColumn<int>("filterIndex");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("the native filter appends rkf") << 1 << u"rkf"_s;
    QTest::newRow("the comma-separated filter appends csv") << 2 << u"csv"_s;
}

void TestQtDesktopDialogs::saveDialogProposesTheFileAndAsksNothing()
{
    QFETCH(int, filterIndex);
    QFETCH(QString, suffix);
    QTemporaryDir folder;
    QtDesktopServices desktop;
    FileDialogState state{u"Save List"_s,
                          u"Reelkeep File(*.rkf)|*.rkf|Coma Delimited (*.csv)|*.csv"_s,
                          u"rkf"_s,
                          folder.filePath(u"films.rkf"_s),
                          filterIndex};
    bool seen = false;
    whenOpen<QFileDialog>([&](QFileDialog* dialog) {
        seen = true;
        QVERIFY(dialog->testOption(QFileDialog::DontConfirmOverwrite));
        QCOMPARE(dialog->defaultSuffix(), suffix);
        QCOMPARE(dialog->directory().absolutePath(), QDir(folder.path()).absolutePath());
        QCOMPARE(QFileInfo(dialog->selectedFiles().value(0)).fileName(), u"films.rkf"_s);
        dialog->reject();
    });
    QVERIFY(!desktop.saveFileDialog(state));
    QVERIFY(seen);
}

void TestQtDesktopDialogs::storeDiscardCancelAnswersYesNoCancel()
{
    QtDesktopServices desktop;
    QStringList captions;
    whenOpen<QMessageBox>([&](QMessageBox* box) {
        for (QAbstractButton* button : box->buttons())
            captions.append(button->text());
        box->button(QMessageBox::No)->click();
    });
    QCOMPARE(desktop.messageBox(u"Store them?"_s, Buttons::StoreDiscardCancel), Answer::No);
    captions.sort();
    QCOMPARE(captions, (QStringList{u"&Discard"_s, u"&Store"_s, u"Cancel"_s}));
}

QTEST_MAIN(TestQtDesktopDialogs)
#include "TestQtDesktopDialogs.moc"
