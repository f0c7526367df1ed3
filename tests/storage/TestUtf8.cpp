// UTF-8 list texts: every character kept, a U+FEFF at the start included, and ASCII widened in
// blocks without changing what any other byte decodes to.
#include "storage/Utf8.h"

#include <QTest>

using namespace reelkeep;
using namespace Qt::StringLiterals;

class TestUtf8 : public QObject
{
    Q_OBJECT

private slots:
    void decodesAtEveryPosition_data();
    void decodesAtEveryPosition();
};

// Each row's bytes go at every position of ASCII texts of every length up to two and a half
// blocks of sixteen, and must read as the row's characters with the ASCII around them unchanged.
void TestUtf8::decodesAtEveryPosition_data()
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

void TestUtf8::decodesAtEveryPosition()
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

QTEST_GUILESS_MAIN(TestUtf8)
#include "TestUtf8.moc"
