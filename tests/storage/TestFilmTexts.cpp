// A film's texts as a list file is read: decoded exactly, ended in a NUL, and each a text of its own
// however the others of its film are changed or dropped.
#include "storage/FilmTexts.h"
#include "storage/Utf8.h"
#include "storage/Windows1252.h"

#include <QTest>

using namespace reelkeep;

namespace {

// Reads one film of the given field bytes.
FilmRecord readFilm(FilmTexts& texts, const QList<QByteArray>& fields)
{
    FilmRecord film;
    for (int i = 0; i < fields.size(); ++i)
        texts.read(i, fields[i], film.fields[size_t(i)]);
    texts.endFilm();
    return film;
}

// Texts long enough never to be looked up as recurring ones.
const QList<QByteArray> LongTexts{
    QByteArray("The first text of the film, long enough to stand alone"),
    QByteArray("A second one with the high bytes \x80\x81\x8d\x9f\xa0\xff of the code page"),
    QByteArray("A third, the last of the block, and longer than any short text"),
};

} // namespace

class TestFilmTexts : public QObject
{
    Q_OBJECT

private slots:
    void decodesEachText_data();
    void decodesEachText();
    void aTextOutlivesTheOthers();
    void aChangedTextLeavesTheOthers();
    void eachFilmHasItsOwnBlock();
};

void TestFilmTexts::decodesEachText_data()
{
    QTest::addColumn<QList<QByteArray>>("fields");
    QTest::addColumn<bool>("utf8");

    QTest::newRow("short, empty and long mixed")
        << QList<QByteArray>{"1999", "", LongTexts[0], "DVD", "", LongTexts[1]} << false;
    QTest::newRow("one byte") << QList<QByteArray>{"x"} << false;
    QTest::newRow("every field empty") << QList<QByteArray>(FieldCount) << false;
    QTest::newRow("all seventeen long") << QList<QByteArray>(FieldCount, LongTexts[2]) << false;
    QTest::newRow("UTF-8") << QList<QByteArray>{"Caf\xc3\xa9 au lait, a text longer than thirty-two bytes",
                                                "\xe2\x82\xac"}
                           << true;
}

void TestFilmTexts::decodesEachText()
{
    QFETCH(QList<QByteArray>, fields);
    QFETCH(bool, utf8);
    FilmTexts texts(utf8);
    const FilmRecord film = readFilm(texts, fields);
    for (int i = 0; i < fields.size(); ++i) {
        const QString& text = film.fields[size_t(i)];
        QCOMPARE(text, utf8 ? decodeUtf8(fields[i]) : decodeWindows1252(fields[i]));
        QCOMPARE(text.isNull(), fields[i].isEmpty());
        if (!text.isEmpty())
            QCOMPARE(text.utf16()[text.size()], u'\0');
    }
}

void TestFilmTexts::aTextOutlivesTheOthers()
{
    FilmTexts texts(false);
    QString kept;
    {
        const FilmRecord film = readFilm(texts, LongTexts);
        kept = film.fields[0];
    }
    QCOMPARE(kept, decodeWindows1252(LongTexts[0]));
    // The last user of the block may grow into the room its dropped neighbours took.
    kept.append(QStringLiteral(" and more").repeated(20));
    QCOMPARE(kept, decodeWindows1252(LongTexts[0]) + QStringLiteral(" and more").repeated(20));
}

void TestFilmTexts::aChangedTextLeavesTheOthers()
{
    FilmTexts texts(false);
    FilmRecord film = readFilm(texts, LongTexts);
    film.fields[0].append(QStringLiteral(" changed").repeated(20));
    film.fields[1][0] = u'a';
    film.fields[2].clear();
    QCOMPARE(film.fields[0], decodeWindows1252(LongTexts[0]) + QStringLiteral(" changed").repeated(20));
    QCOMPARE(film.fields[1], u'a' + decodeWindows1252(LongTexts[1]).sliced(1));
    QVERIFY(film.fields[2].isEmpty());
    const FilmRecord copy = film;
    film.fields[1].append(u'!');
    QCOMPARE(copy.fields[1], u'a' + decodeWindows1252(LongTexts[1]).sliced(1));
}

void TestFilmTexts::eachFilmHasItsOwnBlock()
{
    FilmTexts texts(false);
    const FilmRecord first = readFilm(texts, LongTexts);
    const FilmRecord second = readFilm(texts, {LongTexts[2], LongTexts[0]});
    QCOMPARE(first.fields[0], decodeWindows1252(LongTexts[0]));
    QCOMPARE(first.fields[2], decodeWindows1252(LongTexts[2]));
    QCOMPARE(second.fields[0], decodeWindows1252(LongTexts[2]));
    QCOMPARE(second.fields[1], decodeWindows1252(LongTexts[0]));
    QVERIFY(first.fields[0].constData() != second.fields[1].constData());
}

QTEST_GUILESS_MAIN(TestFilmTexts)
#include "TestFilmTexts.moc"
