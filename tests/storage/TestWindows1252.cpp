// The code page of list-file texts: the bytes that differ from Latin-1, and that every byte survives.
#include "storage/Windows1252.h"

#include <QTest>

using namespace reelkeep;

class TestWindows1252 : public QObject
{
    Q_OBJECT

private slots:
    void decodesByte_data();
    void decodesByte();
    void everyByteRoundTrips();
    void decodesAtEveryPosition_data();
    void decodesAtEveryPosition();
    void appendStopsBeforeUnfitCharacter_data();
    void appendStopsBeforeUnfitCharacter();
    void fits_data();
    void fits();
};

void TestWindows1252::decodesByte_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("character");

    QTest::newRow("ASCII is itself") << 0x41 << 0x41;
    QTest::newRow("80 is the euro sign") << 0x80 << 0x20AC;
    QTest::newRow("undefined 81 keeps its number") << 0x81 << 0x81;
    QTest::newRow("82 is the low single quote") << 0x82 << 0x201A;
    QTest::newRow("undefined 8D keeps its number") << 0x8D << 0x8D;
    QTest::newRow("8E is Z with caron") << 0x8E << 0x017D;
    QTest::newRow("undefined 8F keeps its number") << 0x8F << 0x8F;
    QTest::newRow("undefined 90 keeps its number") << 0x90 << 0x90;
    QTest::newRow("92 is the right single quote") << 0x92 << 0x2019;
    QTest::newRow("99 is the trade mark sign") << 0x99 << 0x2122;
    QTest::newRow("undefined 9D keeps its number") << 0x9D << 0x9D;
    QTest::newRow("9F is Y with diaeresis") << 0x9F << 0x0178;
    QTest::newRow("A0 is the no-break space") << 0xA0 << 0xA0;
    QTest::newRow("E9 is e acute") << 0xE9 << 0xE9;
    QTest::newRow("FF is y with diaeresis") << 0xFF << 0xFF;
}

void TestWindows1252::decodesByte()
{
    QFETCH(int, byte);
    QFETCH(int, character);
    const char single = static_cast<char>(byte);
    const QString text = decodeWindows1252(QByteArrayView(&single, 1));
    QCOMPARE(text, QString(QChar(character)));
    QByteArray back;
    QVERIFY(appendWindows1252(back, text));
    QCOMPARE(back, QByteArray(1, single));
}

void TestWindows1252::everyByteRoundTrips()
{
    QByteArray all;
    for (int byte = 0; byte < 256; ++byte)
        all.append(static_cast<char>(byte));
    const QString text = decodeWindows1252(all);
    QCOMPARE(text.size(), 256);
    QByteArray back;
    QVERIFY(appendWindows1252(back, text));
    QCOMPARE(back, all);
}

// Bytes are decoded in blocks of sixteen, each looked at again only when it holds a byte in 80-9F;
// each row puts its byte at every position of texts of every length up to two and a half blocks,
// among filler bytes that must stay as they are.
void TestWindows1252::decodesAtEveryPosition_data()
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

void TestWindows1252::decodesAtEveryPosition()
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

void TestWindows1252::appendStopsBeforeUnfitCharacter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("appended"); // the bytes appended before the unfit character

    QTest::newRow("an unfit first character appends nothing") << QStringLiteral("\u03A9abc") << QByteArray();
    QTest::newRow("the bytes before an unfit character stay")
        << QStringLiteral("Caf\u00E9 \u20AC\u03A9 more") << QByteArray("Caf\xE9 \x80");
    QTest::newRow("an unfit last character") << QStringLiteral("abcdefghi\u0080") << QByteArray("abcdefghi");
    // Characters are encoded sixteen at a time where they are all their own bytes.
    QTest::newRow("an unfit character in the second block of sixteen")
        << QStringLiteral("0123456789abcdefghij\u0152\u03A9klmnopqrstuvwxyz")
        << QByteArray("0123456789abcdefghij\x8C");
    QTest::newRow("a character above FF whose low byte is Latin-1")
        << QStringLiteral("0123456789abcdef\u0141bcdefghijklmnop") << QByteArray("0123456789abcdef");
    QTest::newRow("U+0080, whose byte the euro sign took, in a block of sixteen")
        << QStringLiteral("abcdefg\u0080ijklmnopqrstuvwxyz") << QByteArray("abcdefg");
}

void TestWindows1252::appendStopsBeforeUnfitCharacter()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, appended);
    QByteArray out("before:");
    QVERIFY(!appendWindows1252(out, text));
    QCOMPARE(out, "before:" + appended);
}

void TestWindows1252::fits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("fits");

    QTest::newRow("the empty text fits") << QString() << true;
    QTest::newRow("accented Latin letters fit") << QStringLiteral("Am\u00E9lie \u00C7a \u00FF") << true;
    QTest::newRow("the typographic punctuation of 80-9F fits")
        << QStringLiteral("\u201CQuoted\u201D \u2013 \u20AC5 \u2122") << true;
    QTest::newRow("the five undefined bytes' characters fit")
        << QStringLiteral("\u0081\u008D\u008F\u0090\u009D") << true;
    QTest::newRow("a control whose byte the euro sign took does not fit")
        << QStringLiteral("\u0080") << false;
    QTest::newRow("Greek does not fit") << QStringLiteral("\u03A9") << false;
    QTest::newRow("a character beyond the first plane does not fit")
        << QString::fromUcs4(U"\U0001F3AC", 1) << false;
}

void TestWindows1252::fits()
{
    QFETCH(QString, text);
    QFETCH(bool, fits);
    QCOMPARE(fitsWindows1252(text), fits);
    QByteArray bytes;
    QCOMPARE(appendWindows1252(bytes, text), fits);
}

QTEST_GUILESS_MAIN(TestWindows1252)
#include "TestWindows1252.moc"
