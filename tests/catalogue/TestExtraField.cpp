// Extra fields: each kind's canonical values, the rules of their names, and edits that keep every
// film's values with their fields.
#include "catalogue/ExtraField.h"
#include "catalogue/FilmRecord.h"
#include "pagegen/PageHost.h"

#include <QTest>

using namespace reelkeep;
using namespace Qt::StringLiterals;

class TestExtraField : public QObject
{
    Q_OBJECT

private slots:
    void values_data();
    void values();
    void names_data();
    void names();
    void editsKeepValuesWithTheirFields();
};

static void addValue(const char* rule, ExtraKind kind, const QString& typed, const char* canonical)
{
    QTest::newRow(rule) << kind << typed << (canonical ? QString::fromUtf8(canonical) : u"refused"_s);
}

void TestExtraField::values_data()
{
    QTest::addColumn<ExtraKind>("kind");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("canonical");

    addValue("a text is kept as typed, spaces and line breaks too",
             ExtraKind::LongText,
             u" a\r\nb "_s,
             " a\r\nb ");
    addValue("spaces alone are no number", ExtraKind::Number, u"  "_s, "");
    addValue("numbers lose their spaces and needless digits", ExtraKind::Number, u" +2.50 "_s, "2.5");
    addValue("whole numbers are written without an exponent", ExtraKind::Number, u"1e6"_s, "1000000");
    addValue("huge numbers keep their exponent", ExtraKind::Number, u"1e21"_s, "1e+21");
    addValue("minus zero is zero", ExtraKind::Number, u"-0"_s, "0");
    addValue("group separators make no number", ExtraKind::Number, u"1,234"_s, nullptr);
    addValue("infinity is no number", ExtraKind::Number, u"inf"_s, nullptr);
    addValue("a rating is a whole number", ExtraKind::Rating, u"7.0"_s, "7");
    addValue("half a point is no rating", ExtraKind::Rating, u"7.5"_s, nullptr);
    addValue("ratings end at 10", ExtraKind::Rating, u"11"_s, nullptr);
    addValue("true is yes", ExtraKind::YesNo, u"TRUE"_s, "yes");
    addValue("a cross ticks the box", ExtraKind::YesNo, u"x"_s, "yes");
    addValue("no is no", ExtraKind::YesNo, u"No"_s, "no");
    addValue("maybe is neither", ExtraKind::YesNo, u"maybe"_s, nullptr);
    addValue("dates are written year first", ExtraKind::Date, u"2024-2-9"_s, "2024-02-09");
    addValue("a day first with dots", ExtraKind::Date, u"29.2.2024"_s, "2024-02-29");
    addValue("a day that does not exist", ExtraKind::Date, u"2023/02/29"_s, nullptr);
    addValue("slashes with the year last say no order", ExtraKind::Date, u"02/09/2024"_s, nullptr);
}

void TestExtraField::values()
{
    QFETCH(ExtraKind, kind);
    QFETCH(QString, typed);
    QFETCH(QString, canonical);
    const std::optional<QString> value = canonicalValue(kind, typed);
    QCOMPARE(value.value_or(u"refused"_s), canonical);
    if (value) // a canonical text is its own
        QVERIFY(isCanonicalValue(kind, *value) && canonicalValue(kind, *value) == value);
    QCOMPARE(isCanonicalValue(kind, typed), value == typed);
}

void TestExtraField::names_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("problem"); // for a name being given; empty for none
    QTest::addColumn<QString>("free");    // the name a new field takes when it wants this one

    QTest::newRow("a name of its own") << u"Personal Rating"_s << QString() << u"Personal Rating"_s;
    QTest::newRow("another field's name in another case")
        << u"seen"_s << u"the list has a field called \"Seen\" already"_s << u"seen 3"_s;
    QTest::newRow("one of the seventeen, in any case")
        << u"TITLE"_s << u"\"TITLE\" is one of the seventeen fields"_s << u"TITLE 2"_s;
    QTest::newRow("a name templates read as list.count")
        << u"Count"_s << u"templates read list.count as something else"_s << u"Count 2"_s;
    QTest::newRow("spaces at the ends")
        << u" Shelf"_s << u"the name begins or ends with a space"_s << u"Shelf"_s;
    QTest::newRow("a line break") << u"On\nloan"_s
                                  << u"the name holds a line break or another control character"_s
                                  << u"On loan"_s;
    QTest::newRow("nothing") << QString() << u"the name is empty"_s << u"Extra field"_s;
    QTest::newRow("one character too many")
        << QString(65, u'n') << u"the name is longer than 64 characters"_s << QString(64, u'n');
    const QString clapper = QString::fromUcs4(U"\U0001F3AC", 1);
    QTest::newRow("characters count, not the code units of surrogate pairs")
        << clapper.repeated(64) << QString() << clapper.repeated(64);
    QTest::newRow("a name cut short keeps whole characters")
        << QString(63, u'n') + clapper.repeated(2) << u"the name is longer than 64 characters"_s
        << QString(63, u'n') + clapper;
    const QString hidden = u"the name holds a control of the text's direction or U+FEFF, which do not show"_s;
    QTest::newRow("a control of the text's direction") << u"\u2067Shelf\u2069"_s << hidden << u"Shelf"_s;
    QTest::newRow("U+FEFF, which shows as nothing") << u"\uFEFFShelf"_s << hidden << u"Shelf"_s;
    QTest::newRow("half a character")
        << u"A"_s + clapper.front() << u"the name holds half of a character"_s << u"A\uFFFD"_s;
}

void TestExtraField::names()
{
    QFETCH(QString, name);
    QFETCH(QString, problem);
    QFETCH(QString, free);
    const ExtraFields fields = {{u"Seen"_s, ExtraKind::YesNo}, {u"Seen 2"_s, ExtraKind::Text}};
    QCOMPARE(extraFieldNameProblem(fields, name, PageHost::answersFilmName), problem);
    // A list loads whatever names the page generator comes to answer; a field may keep its own name.
    QCOMPARE(extraFieldNameProblem(fields, name).isEmpty(), problem.isEmpty() || name == u"Count");
    QVERIFY(extraFieldNameProblem(fields, u"SEEN"_s, nullptr, 0).isEmpty());
    QCOMPARE(freeExtraFieldName(fields, name, PageHost::answersFilmName), free);
}

// Films hold values up to their last one only, and compare equal whatever empty values they hold.
void TestExtraField::editsKeepValuesWithTheirFields()
{
    ExtraFields fields = {{u"A"_s}, {u"B"_s}, {u"C"_s}, {u"D"_s}};
    FilmRecord full;
    full.extra = {u"a"_s, u"b"_s, u"c"_s, u"d"_s};
    FilmRecord second;
    second.setExtraValue(1, u"b"_s);
    QList<FilmRecord> films = {full, second, FilmRecord()};
    moveExtraField(fields, films, 3, 0);
    moveExtraField(fields, films, 0, 2); // past the values the second film holds
    QCOMPARE(fields.first().name + fields[1].name + fields[2].name + fields[3].name, u"ABDC"_s);
    QCOMPARE(films[0].extra, (QStringList{u"a"_s, u"b"_s, u"d"_s, u"c"_s}));
    QCOMPARE(films[1].extraValue(1), u"b"_s);
    QVERIFY(!extraFieldHoldsValues(films.mid(1), 0) && extraFieldHoldsValues(films.mid(1), 1));
    removeExtraField(fields, films, 1);
    QCOMPARE(films[0].extra, (QStringList{u"a"_s, u"d"_s, u"c"_s}));
    QCOMPARE(films[1], FilmRecord());
    QCOMPARE(fields.size(), 3);
    second.setExtraValue(3, QString());
    QCOMPARE(second.extra.size(), 2);
}

QTEST_GUILESS_MAIN(TestExtraField)
#include "TestExtraField.moc"
