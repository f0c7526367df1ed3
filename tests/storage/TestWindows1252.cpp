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
