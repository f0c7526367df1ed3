// The page's encoders: UTF-8 and Windows-1252 with character references, against a plain
// character-by-character encoding of the same texts.
#include "pagegen/PageEncoding.h"
#include "text/Windows1252.h"

#include <QRandomGenerator>
#include <QTest>

#include <vector>

using namespace reelkeep;

namespace {

QByteArray reference(char32_t codePoint)
{
    return "&#" + QByteArray::number(codePoint) + ';';
}

// One character after another, as the page writes it: UTF-8 has no bytes for a lone surrogate
// half, Windows-1252 none for most characters.
QByteArray plainlyEncoded(QStringView text, bool utf8)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        const bool pair = QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const QStringView character = text.sliced(i, pair ? 2 : 1);
        if (pair)
            ++i;
        const char32_t codePoint = pair ? QChar::surrogateToUcs4(unit, text[i].unicode()) : unit;
        if (QChar::isSurrogate(codePoint))
            bytes += reference(codePoint);
        else if (utf8)
            bytes += character.toUtf8();
        else if (const int byte = windows1252Byte(unit); byte >= 0)
            bytes += char(byte);
        else
            bytes += reference(codePoint);
    }
    return bytes;
}

QByteArray encoded(QStringView text, bool utf8)
{
    std::vector<char> room(size_t(text.size() * MaxPageBytesPerUnit + 1));
    const char* end = writePageText(room.data(), text, utf8);
    return QByteArray(room.data(), end - room.data());
}

// A text of ASCII runs of every length around the eight units copied at once, broken by accents,
// characters beyond Windows-1252, surrogate pairs and lone halves.
QString randomText(QRandomGenerator& random)
{
    static const char16_t Others[] = {0xE9, 0x80, 0x20AC, 0x3A9, 0xFFFF, 0xD83D, 0xDE00, 0x7F, 0x0, 0x9D};
    QString text;
    const int pieces = random.bounded(1, 12);
    for (int piece = 0; piece < pieces; ++piece) {
        const int ascii = random.bounded(0, 20);
        for (int i = 0; i < ascii; ++i)
            text.append(QChar(char16_t(random.bounded(0x20, 0x7F))));
        if (random.bounded(3) == 0)
            text.append(QString::fromUtf16(u"\U0001F600"));
        else
            text.append(QChar(Others[random.bounded(int(std::size(Others)))]));
    }
    return text;
}

} // namespace

class TestPageEncoding : public QObject
{
    Q_OBJECT

private slots:
    void randomTexts();
};

void TestPageEncoding::randomTexts()
{
    QRandomGenerator random(20261207);
    for (int round = 0; round < 20000; ++round) {
        const QString text = randomText(random);
        QCOMPARE(encoded(text, true), plainlyEncoded(text, true));
        QCOMPARE(encoded(text, false), plainlyEncoded(text, false));
    }
}

QTEST_GUILESS_MAIN(TestPageEncoding)
#include "TestPageEncoding.moc"
