// A film's texts as a list file is read: decoded exactly, ended in a NUL, and each a text of its own
// however the others of its film are changed or dropped.
#include "storage/FilmTexts.h"
#include "storage/Utf8.h"
#include "storage/Windows1252.h"

#include <QTest>

using namespace reelkeep;
using namespace Qt::StringLiterals;

namespace {

// Reads one film of the given field bytes.
FilmRecord readFilm(FilmTexts& texts, const QList<QByteArray>& fields)
{
    FilmRecord film;
    for (int i = 0; i < fields.size(); ++i)
        texts.read(i, fields[i], film.fields[size_t(i)]);
    return film;
}

// Texts long enough never to be looked up as recurring ones.
const QList<QByteArray> LongTexts{
    QByteArray("The first text of the film, long enough to stand alone"),
    QByteArray("A second one with the high bytes \x80\x81\x8d\x9f\xa0\xff of the code page"),
    QByteArray("A third, longer than any short text"),
};

} // namespace

class TestFilmTexts : public QObject
{
    Q_OBJECT

private slots:
    void decodesEachText_data();
    void decodesEachText();
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

QTEST_GUILESS_MAIN(TestFilmTexts)
#include "TestFilmTexts.moc"
