// The Import dialog on the offscreen platform: the columns with their fields, the first rows, and
// choosing fields with the keyboard.
#include "storage/widgets/frmImport.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace reelkeep;
using namespace Qt::StringLiterals;

class TestFrmImport : public QObject
{
    Q_OBJECT

private slots:
    void showsColumnsFieldsAndFirstRows();
    void choosingAFieldWithTheKeyboard_data();
    void choosingAFieldWithTheKeyboard();
};

// A semicolon file whose titles are under a name no field goes by.
static ImportAnalysis sheet()
{
    const std::optional<ImportAnalysis> analysis =
        analyseImport("Titel;Year;Notes\r\nA;1;a\r\nB;2\r\nC;3;c\r\nD;4;d\r\nE;5;e\r\nF;6;f\r\n"_ba);
    if (!analysis)
        qFatal("the sheet does not read");
    return *analysis;
}

static QComboBox* fieldBox(const frmImport& dialog, int column)
{
    return dialog.findChild<QComboBox*>(u"Combo1_%1"_s.arg(column));
}

static QString labelOf(QWidget* control)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
    const auto labels = face->relations(QAccessible::Label);
    return labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name);
}

void TestFrmImport::showsColumnsFieldsAndFirstRows()
{
    frmImport dialog(sheet());
    QCOMPARE(dialog.windowTitle(), u"Import"_s);
    QCOMPARE(dialog.findChild<QLabel*>("Label1")->text(),
             u"6 films, UTF-8, separated by semicolons\n"
             u"line 3: 2 cells where the header has 3; the missing fields left empty"_s);
    const QStringList shown{u"(leave out)"_s, u"release"_s, u"comment"_s};
    const QStringList names{u"Titel"_s, u"Year"_s, u"Notes"_s};
    for (int column = 0; column < 3; ++column) {
        QComboBox* box = fieldBox(dialog, column);
        QVERIFY(box);
        QCOMPARE(box->currentText(), shown[column]);
        // Screen readers name the box by its caption, the column's name.
        QCOMPARE(labelOf(box), names[column]);
    }

    auto* grid = dialog.findChild<QTableWidget*>("Grid1");
    QCOMPARE(grid->rowCount(), frmImport::PreviewRows);
    QCOMPARE(grid->item(2, 2)->text(), u"c"_s);
    QVERIFY(!grid->item(1, 2)); // the short row
    QCOMPARE(grid->verticalHeaderItem(1)->text(), u"line 3"_s);
    QCOMPARE(grid->horizontalHeaderItem(1)->text(), u"Year\nrelease"_s);
    QCOMPARE(QAccessible::queryAccessibleInterface(grid)->text(QAccessible::Name), u"First rows"_s);
}

void TestFrmImport::choosingAFieldWithTheKeyboard_data()
{
    QTest::addColumn<int>("column"); // whose box gets the typed text
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("mapping"); // each column's field, "-" for left out
    QTest::addColumn<bool>("okEnabled");

    QTest::newRow("typing picks the field that begins so")
        << 0 << u"t"_s << u"title release comment"_s << true;
    QTest::newRow("a field another column had is taken from it")
        << 0 << u"c"_s << u"comment release -"_s << false;
    QTest::newRow("a field can be left out") << 1 << u"("_s << u"- - comment"_s << false;
}

void TestFrmImport::choosingAFieldWithTheKeyboard()
{
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, mapping);
    QFETCH(bool, okEnabled);

    frmImport dialog(sheet());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClicks(fieldBox(dialog, column), typed);
    QStringList fields;
    for (int i = 0; i < 3; ++i) {
        const std::optional<Field> field = dialog.mapping().value(i);
        fields.append(field ? fieldName(*field).toString() : u"-"_s);
        QCOMPARE(fieldBox(dialog, i)->currentText(), field ? fields.last() : u"(leave out)"_s);
    }
    QCOMPARE(fields.join(u' '), mapping);
    // Without a column for the titles OK waits, and the dialog says why.
    QCOMPARE(dialog.findChild<QPushButton*>("Command1")->isEnabled(), okEnabled);
    QCOMPARE(dialog.findChild<QLabel*>("Label2")->isHidden(), okEnabled);

    // Tab goes from box to box, to the rows and the buttons; Enter presses OK once it can be.
    fieldBox(dialog, 0)->setFocus();
    QStringList visited;
    for (int i = 0; i < 5 + int(okEnabled); ++i) {
        visited.append(QApplication::focusWidget()->objectName());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QStringList order{u"Combo1_0"_s, u"Combo1_1"_s, u"Combo1_2"_s, u"Grid1"_s, u"Command1"_s, u"Command2"_s};
    if (!okEnabled)
        order.removeOne(u"Command1"_s);
    QCOMPARE(visited, order);
    QTest::keyClick(fieldBox(dialog, 0), Qt::Key_Return);
    QCOMPARE(dialog.isVisible(), !okEnabled);
    if (!okEnabled)
        QTest::keyClick(fieldBox(dialog, 0), Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), okEnabled ? int(QDialog::Accepted) : int(QDialog::Rejected));
}

QTEST_MAIN(TestFrmImport)
#include "TestFrmImport.moc"
