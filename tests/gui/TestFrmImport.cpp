// The Import dialog on the offscreen platform: the columns with their fields, the first rows, and
// choosing fields and extra fields with the keyboard.
#include "pagegen/PageHost.h"
#include "storage/widgets/frmImport.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
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
    void namingAnExtraField_data();
    void namingAnExtraField();
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

// A list with a field "Rating", into which the films go.
static const ImportTarget Target{{{u"Rating"_s, ExtraKind::Rating}}, PageHost::answersFilmName};

static QComboBox* fieldBox(const frmImport& dialog, int column)
{
    return dialog.findChild<QComboBox*>(u"Combo1_%1"_s.arg(column));
}

// Where each column goes: a field's name, "+Name(kind)" for an extra field, "-" for none.
static QString targets(const frmImport& dialog)
{
    QStringList words;
    for (const ColumnTarget& target : dialog.mapping()) {
        if (target.extra)
            words.append(u'+' + target.extra->name + u'(' + kindWords(target.extra->kind, target.outOfFive) +
                         u')');
        else
            words.append(target.field ? fieldName(*target.field).toString() : u"-"_s);
    }
    return words.join(u' ');
}

static QString labelOf(QWidget* control)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
    const auto labels = face->relations(QAccessible::Label);
    return labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name);
}

void TestFrmImport::showsColumnsFieldsAndFirstRows()
{
    const ImportAnalysis analysis = sheet();
    frmImport dialog(analysis, Target);
    QCOMPARE(dialog.windowTitle(), u"Import"_s);
    QCOMPARE(dialog.findChild<QLabel*>("Label1")->text(),
             u"6 films, UTF-8, separated by semicolons\n"
             u"line 3: 2 cells where the header has 3; the missing fields left empty"_s);
    const QStringList shown{u"extra field"_s, u"release"_s, u"comment"_s};
    const QStringList names{u"Titel"_s, u"Year"_s, u"Notes"_s};
    for (int column = 0; column < 3; ++column) {
        QComboBox* box = fieldBox(dialog, column);
        QVERIFY(box);
        QCOMPARE(box->currentText(), shown[column]);
        // Screen readers name the box by its caption, the column's name.
        QCOMPARE(labelOf(box), names[column]);
    }
    QCOMPARE(dialog.findChild<QLineEdit*>(u"Text1_0"_s)->text(), u"Titel"_s);
    QVERIFY(!dialog.findChild<QLineEdit*>(u"Text1_1"_s)->isEnabled());

    auto* grid = dialog.findChild<QTableWidget*>("Grid1");
    QCOMPARE(grid->rowCount(), frmImport::PreviewRows);
    QCOMPARE(grid->item(2, 2)->text(), u"c"_s);
    QVERIFY(!grid->item(1, 2)); // the short row
    QCOMPARE(grid->verticalHeaderItem(1)->text(), u"line 3"_s);
    QCOMPARE(grid->horizontalHeaderItem(1)->text(), u"Year\nrelease"_s);
    QCOMPARE(grid->horizontalHeaderItem(0)->text(), u"Titel\nTitel (text)"_s);
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
    QTest::newRow("a field can be left out") << 1 << u"("_s << u"+Titel(text) - comment"_s << false;
    QTest::newRow("a column can go to an extra field")
        << 1 << u"e"_s << u"+Titel(text) +Year(number) comment"_s << false;
}

void TestFrmImport::choosingAFieldWithTheKeyboard()
{
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, mapping);
    QFETCH(bool, okEnabled);

    const ImportAnalysis analysis = sheet();
    frmImport dialog(analysis, Target);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClicks(fieldBox(dialog, column), typed);
    QCOMPARE(targets(dialog), mapping);
    QStringList order;
    for (int i = 0; i < 3; ++i) {
        const ColumnTarget& target = dialog.mapping()[i];
        const QString shown = target.extra   ? u"extra field"_s
                              : target.field ? fieldName(*target.field).toString()
                                             : u"(leave out)"_s;
        QCOMPARE(fieldBox(dialog, i)->currentText(), shown);
        order.append(u"Combo1_%1"_s.arg(i));
        if (target.extra) // its name and its kind
            order << u"Text1_%1"_s.arg(i) << u"Combo2_%1"_s.arg(i);
    }
    // Without a column for the titles OK waits, and the dialog says why.
    QCOMPARE(dialog.findChild<QPushButton*>("Command1")->isEnabled(), okEnabled);
    QCOMPARE(dialog.findChild<QLabel*>("Label2")->isHidden(), okEnabled);

    // Tab goes from box to box, to the rows and the buttons; Enter presses OK once it can be.
    fieldBox(dialog, 0)->setFocus();
    order << u"Grid1"_s << u"Command1"_s << u"Command2"_s;
    if (!okEnabled)
        order.removeOne(u"Command1"_s);
    QStringList visited;
    for (qsizetype i = 0; i < order.size(); ++i) {
        visited.append(QApplication::focusWidget()->objectName());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(visited, order);
    QTest::keyClick(fieldBox(dialog, 0), Qt::Key_Return);
    QCOMPARE(dialog.isVisible(), !okEnabled);
    if (!okEnabled)
        QTest::keyClick(fieldBox(dialog, 0), Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), okEnabled ? int(QDialog::Accepted) : int(QDialog::Rejected));
}

void TestFrmImport::namingAnExtraField_data()
{
    QTest::addColumn<QString>("name");    // typed over the first column's name
    QTest::addColumn<QString>("kind");    // typed into its kind box, or nothing
    QTest::addColumn<QString>("mapping"); // where each column goes afterwards
    QTest::addColumn<QString>("told");    // why the dialog refused the name

    QTest::newRow("a name of its own")
        << u"Original"_s << QString() << u"+Original(text) release comment"_s << QString();
    QTest::newRow("the list's field keeps its kind, if it takes the cells")
        << u"rating"_s << QString() << u"+Titel(text) release comment"_s
        << u"line 2: \"A\" in column 1 \"Titel\" is not a rating from 0 to 10"_s;
    QTest::newRow("a name templates read")
        << u"Index"_s << QString() << u"+Titel(text) release comment"_s
        << u"a field cannot be called \"Index\": templates read list.index as something else"_s;
    QTest::newRow("a kind that takes every cell")
        << QString() << u"l"_s << u"+Titel(long text) release comment"_s << QString();
}

void TestFrmImport::namingAnExtraField()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QString, mapping);
    QFETCH(QString, told);
    const ImportAnalysis analysis = sheet();
    frmImport dialog(analysis, Target);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto* nameEdit = dialog.findChild<QLineEdit*>(u"Text1_0"_s);
    if (!name.isEmpty()) {
        nameEdit->setFocus();
        nameEdit->selectAll();
        QTest::keyClicks(nameEdit, name);
        QTest::keyClick(nameEdit, Qt::Key_Tab);
    }
    auto* kindBox = dialog.findChild<QComboBox*>(u"Combo2_0"_s);
    QCOMPARE(kindBox->count(), 2); // the cells are text: text or long text
    if (!kind.isEmpty())
        QTest::keyClicks(kindBox, kind);
    QCOMPARE(targets(dialog), mapping);
    QCOMPARE(nameEdit->text(), dialog.mapping()[0].extra->name);
    auto* label3 = dialog.findChild<QLabel*>(u"Label3"_s);
    QCOMPARE(label3->isVisible() ? label3->text() : QString(), told);
    QCOMPARE(QAccessible::queryAccessibleInterface(nameEdit)->text(QAccessible::Name),
             u"Name of the extra field of column 1"_s);
}

QTEST_MAIN(TestFrmImport)
#include "TestFrmImport.moc"
