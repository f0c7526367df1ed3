// The texts of list files: the Windows-1252 code page, its bytes that differ from Latin-1 and that
// every byte survives; UTF-8 with every character kept and ASCII widened in blocks; and a film's
// texts as a file is read, each decoded exactly, ended in a NUL and a text of its own.
#include "storage/FilmTexts.h"
#include "text/Utf8.h"
#include "text/Windows1252.h"

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

class TestListTexts : public QObject
{
    Q_OBJECT

private slots:
    void windows1252DecodesEveryByte();
    void windows1252AtEveryPosition_data();
    void windows1252AtEveryPosition();
    void windows1252StopsBeforeUnfitCharacter_data();
    void windows1252StopsBeforeUnfitCharacter();
    void windows1252Fits_data();
    void windows1252Fits();
    void utf8AtEveryPosition_data();
    void utf8AtEveryPosition();
    void filmTextsDecodeEachText_data();
    void filmTextsDecodeEachText();
};

// Every byte is its own Latin-1 character but for 80-9F, where the code page puts its punctuation and
// letters and the five undefined bytes 81, 8D, 8F, 90 and 9D keep their numbers; every byte reads
// back as itself.
void TestListTexts::windows1252DecodesEveryByte()
{
    const QString block80 =
        QStringLiteral("\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160"
                       "\u2039\u0152\u008D\u017D\u008F\u0090\u2018\u2019\u201C\u201D\u2022"
                       "\u2013\u2014\u02DC\u2122\u0161\u203A\u0153\u009D\u017E\u0178");
    QByteArray all;
    QString expected;
    for (int byte = 0; byte < 256; ++byte) {
        all.append(static_cast<char>(byte));
        expected.append(byte >= 0x80 && byte <= 0x9F ? block80.at(byte - 0x80) : QChar(byte));
    }
    QCOMPARE(decodeWindows1252(all), expected);
    QByteArray back;
    QVERIFY(appendWindows1252(back, expected));
    QCOMPARE(back, all);
}

// Bytes are decoded in blocks of sixteen, each looked at again only when it holds a byte in 80-9F;
// each row puts its byte at every position of texts of every length up to two and a half blocks,
// among filler bytes that must stay as they are.
void TestListTexts::windows1252AtEveryPosition_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("character");
    QTest::addColumn<int>("filler");

    QTest::newRow("80, the first of 80-9F, among ASCII") << 0x80 << 0x20AC << int('a');
    QTest::newRow("9F, the last of 80-9F, among ASCII") << 0x9F << 0x0178 << int('a');
    QTest::newRow("undefined 81 among Latin-1 letters") << 0x81 << 0x81 << 0xE9;
    QTest::newRow("92 among bytes A0, just above 80-9F") << 0x92 << 0x2019 << 0xA0;
    QTest::newRow("93 among bytes 7F, just below 80-9F") << 0x93 << 0x201C << 0x7F;
    QTest::newRow("A0 among bytes 00 is not in 80-9F") << 0xA0 << 0xA0 << 0x00;
    QTest::newRow("E0 among bytes C0 is not in 80-9F") << 0xE0 << 0xE0 << 0xC0;
    QTest::newRow("7F among bytes FF is not in 80-9F") << 0x7F << 0x7F << 0xFF;
}

void TestListTexts::windows1252AtEveryPosition()
{
    QFETCH(int, byte);
    QFETCH(int, character);
    QFETCH(int, filler);
    for (int length = 1; length <= 40; ++length) {
        for (int position = 0; position < length; ++position) {
            QByteArray bytes(length, static_cast<char>(filler));
            bytes[position] = static_cast<char>(byte);
            QString expected(length, QChar(filler));
            expected[position] = QChar(character);
            QCOMPARE(decodeWindows1252(bytes), expected);
            QByteArray back("x");
            QVERIFY(appendWindows1252(back, expected));
            QCOMPARE(back, "x" + bytes);
        }
    }
}

void TestListTexts::windows1252StopsBeforeUnfitCharacter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("appended"); // the bytes appended before the unfit character

    QTest::newRow("an unfit first character appends nothing") << u"\u03A9abc"_s << QByteArray();
    QTest::newRow("the bytes before an unfit character stay")
        << u"Caf\u00E9 \u20AC\u03A9 more"_s << QByteArray("Caf\xE9 \x80");
    QTest::newRow("an unfit last character") << u"abcdefghi\u0080"_s << QByteArray("abcdefghi");
    // Characters are encoded sixteen at a time where they are all their own bytes.
    QTest::newRow("an unfit character in the second block of sixteen")
        << u"0123456789abcdefghij\u0152\u03A9klmnopqrstuvwxyz"_s << QByteArray("0123456789abcdefghij\x8C");
    QTest::newRow("a character above FF whose low byte is Latin-1")
        << u"0123456789abcdef\u0141bcdefghijklmnop"_s << QByteArray("0123456789abcdef");
    QTest::newRow("U+0080, whose byte the euro sign took, in a block of sixteen")
        << u"abcdefg\u0080ijklmnopqrstuvwxyz"_s << QByteArray("abcdefg");
}

void TestListTexts::windows1252StopsBeforeUnfitCharacter()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, appended);
    QByteArray out("before:");
    QVERIFY(!appendWindows1252(out, text));
    QCOMPARE(out, "before:" + appended);
}

void TestListTexts::windows1252Fits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("fits");

    QTest::newRow("the empty text fits") << QString() << true;
    QTest::newRow("accented Latin letters fit") << u"Am\u00E9lie \u00C7a \u00FF"_s << true;
    QTest::newRow("the typographic punctuation of 80-9F fits")
        << u"\u201CQuoted\u201D \u2013 \u20AC5 \u2122"_s << true;
    QTest::newRow("the five undefined bytes' characters fit") << u"\u0081\u008D\u008F\u0090\u009D"_s << true;
    QTest::newRow("a control whose byte the euro sign took does not fit") << u"\u0080"_s << false;
    QTest::newRow("Greek does not fit") << u"\u03A9"_s << false;
    QTest::newRow("a character beyond the first plane does not fit")
        << QString::fromUcs4(U"\U0001F3AC", 1) << false;
}

void TestListTexts::windows1252Fits()
{
    QFETCH(QString, text);
    QFETCH(bool, fits);
    QCOMPARE(fitsWindows1252(text), fits);
}

// Each row's bytes go at every position of ASCII texts of every length up to two and a half
// blocks of sixteen, and must read as the row's characters with the ASCII around them unchanged.
void TestListTexts::utf8AtEveryPosition_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("characters");

    QTest::newRow("a two-byte character") << QByteArray("\xC3\xA9") << u"\u00E9"_s;
    QTest::newRow("a three-byte character") << QByteArray("\xE2\x82\xAC") << u"\u20AC"_s;
    QTest::newRow("a four-byte character is a surrogate pair")
        << QByteArray("\xF0\x9F\x8E\xAC") << u"\U0001F3AC"_s;
    QTest::newRow("U+FEFF, at the start as anywhere") << QByteArray("\xEF\xBB\xBF") << u"\uFEFF"_s;
    QTest::newRow("a byte that starts nothing") << QByteArray("\xFF") << u"\uFFFD"_s;
    QTest::newRow("a continuation byte alone") << QByteArray("\x80") << u"\uFFFD"_s;
    QTest::newRow("a sequence cut short") << QByteArray("\xE2\x82") << u"\uFFFD\uFFFD"_s;
    QTest::newRow("an encoded surrogate") << QByteArray("\xED\xA0\x80") << u"\uFFFD\uFFFD\uFFFD"_s;
}

void TestListTexts::utf8AtEveryPosition()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, characters);
    QCOMPARE(decodeUtf8(bytes), characters);
    for (int length = 0; length <= 40; ++length) {
        for (int position = 0; position <= length; ++position) {
            const QByteArray ascii = QByteArray("0123456789abcdefghijklmnopqrstuvwxyz!?;:").left(length);
            const QByteArray text = ascii.left(position) + bytes + ascii.mid(position);
            const QString expected = QString::fromLatin1(ascii.left(position)) + characters +
                                     QString::fromLatin1(ascii.mid(position));
            QCOMPARE(decodeUtf8(text), expected);
            // The bytes that decode as U+FFFD are those found not to be UTF-8.
            QCOMPARE(firstInvalidUtf8(text), characters.contains(u'\uFFFD') ? position : -1);
        }
    }
    QVERIFY(decodeUtf8(QByteArrayView()).isEmpty());
}

void TestListTexts::filmTextsDecodeEachText_data()
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

void TestListTexts::filmTextsDecodeEachText()
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

QTEST_GUILESS_MAIN(TestListTexts)
#include "TestListTexts.moc"
