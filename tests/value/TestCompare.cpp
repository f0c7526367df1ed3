// Like patterns, LCase and UCase, and the rank keys that order texts as StrComp's text mode does
// (StrComp itself is in the library's tests).
#include "ValueNotation.h"
#include "value/Compare.h"
#include "value/TextCase.h"
#include "value/TextRankKey.h"

#include <QTest>

#include <algorithm>
#include <optional>
#include <vector>

using namespace reelkeep;
using namespace Qt::StringLiterals;
using namespace reelkeep::test;

class TestCompare : public QObject
{
    Q_OBJECT

private slots:
    void like_data();
    void like();
    void textCase_data();
    void textCase();
    void textRankKeyOrder_data();
    void textRankKeyOrder();
    void textRankKeyCoverage_data();
    void textRankKeyCoverage();
    void textRankKeysOrderEveryShortText();
};

namespace {

std::optional<std::vector<std::uint8_t>> rankKey(QStringView text)
{
    std::vector<std::uint8_t> key(maxTextRankKeyLength(text.size()));
    const std::optional<std::size_t> length = writeTextRankKey(text, key);
    if (!length)
        return std::nullopt;
    key.resize(*length);
    return key;
}

int compareRankKeys(const std::vector<std::uint8_t>& left, const std::vector<std::uint8_t>& right)
{
    const auto order =
        std::lexicographical_compare_three_way(left.begin(), left.end(), right.begin(), right.end());
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

// The order the page sort has always used: the collation's own sort keys.
int compareSortKeys(const QString& left, const QString& right)
{
    const int order = textSortKey(left).compare(textSortKey(right));
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

// A text and its rank key, which every text here must have.
struct KeyedText
{
    QString text;
    std::vector<std::uint8_t> key;
};

// Sorts the texts by rank key and checks each neighbour against the collation: as the collation's
// order is transitive, the whole order then agrees, ties included.
void verifyOrderOfNeighbours(std::vector<KeyedText>& texts)
{
    std::stable_sort(texts.begin(), texts.end(), [](const KeyedText& left, const KeyedText& right) {
        return left.key < right.key;
    });
    for (std::size_t i = 1; i < texts.size(); ++i) {
        const KeyedText& left = texts[i - 1];
        const KeyedText& right = texts[i];
        const int expected = compareRankKeys(left.key, right.key);
        if (compareSortKeys(left.text, right.text) != expected) {
            QFAIL(qPrintable(
                QStringLiteral("\"%1\" against \"%2\": rank keys say %3")
                    .arg(left.text.toUtf8().toPercentEncoding(), right.text.toUtf8().toPercentEncoding())
                    .arg(expected)));
        }
        if (!left.text.isEmpty() && !right.text.isEmpty())
            QCOMPARE(compareStrings(left.text, right.text, CompareMode::Text), expected);
    }
}

} // namespace

void TestCompare::like_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");
    QTest::newRow("star then literal") << u"abc"_s << u"a*"_s << u"True"_s;
    QTest::newRow("case-sensitive") << u"ABC"_s << u"a*"_s << u"False"_s;
    QTest::newRow("question mark is one character") << u"abc"_s << u"a?c"_s << u"True"_s;
    QTest::newRow("question mark needs a character") << u"ac"_s << u"a?c"_s << u"False"_s;
    QTest::newRow("hash is one digit") << u"a1b"_s << u"a#b"_s << u"True"_s;
    QTest::newRow("hash refuses a letter") << u"axb"_s << u"a#b"_s << u"False"_s;
    QTest::newRow("star backtracks") << u"abcabd"_s << u"*abd"_s << u"True"_s;
    QTest::newRow("two stars") << u"aXbYc"_s << u"a*b*c"_s << u"True"_s;
    QTest::newRow("range") << u"m"_s << u"[a-z]"_s << u"True"_s;
    QTest::newRow("negated range") << u"aBa"_s << u"a[!a-z]a"_s << u"True"_s;
    QTest::newRow("negated range refuses") << u"aba"_s << u"a[!a-z]a"_s << u"False"_s;
    QTest::newRow("list of characters") << u"b"_s << u"[abc]"_s << u"True"_s;
    QTest::newRow("question mark is literal in a list") << u"a"_s << u"[?]"_s << u"False"_s;
    QTest::newRow("hyphen first is literal") << u"-"_s << u"[-a]"_s << u"True"_s;
    QTest::newRow("hyphen last is literal") << u"-"_s << u"[a-]"_s << u"True"_s;
    QTest::newRow("empty list matches nothing") << u"x"_s << u"[]x"_s << u"True"_s;
    QTest::newRow("closing bracket outside a list is literal") << u"a]"_s << u"a]"_s << u"True"_s;
    QTest::newRow("exclamation outside a list is literal") << u"!"_s << u"!"_s << u"True"_s;
    QTest::newRow("empty text and empty pattern") << u""_s << u""_s << u"True"_s;
    QTest::newRow("empty text and question mark") << u""_s << u"?"_s << u"False"_s;
    QTest::newRow("reversed range raises 93") << u"a"_s << u"[z-a]"_s << u"raised 93"_s;
    QTest::newRow("missing bracket raises 93") << u"a"_s << u"[a-b"_s << u"raised 93"_s;
}

void TestCompare::like()
{
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    const QString result = outcome([&] { return Value::makeBoolean(reelkeep::like(text, pattern)); });
    QCOMPARE(QString(result).remove(u"Boolean: "_s), expected);
}

void TestCompare::textCase_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("lower");
    QTest::addColumn<QString>("upper");
    QTest::newRow("Latin-1 letters change case")
        << u"String \u00c4\u00f6"_s << u"String: \u00e4\u00f6"_s << u"String: \u00c4\u00d6"_s;
    QTest::newRow("Null stays Null") << u"Null"_s << u"Null: "_s << u"Null: "_s;
    QTest::newRow("Empty becomes empty text") << u"Empty"_s << u"String: "_s << u"String: "_s;
    QTest::newRow("Boolean becomes its text") << u"Boolean True"_s << u"String: true"_s << u"String: TRUE"_s;
    QTest::newRow("number becomes its text") << u"Double 1e20"_s << u"String: 1e+20"_s << u"String: 1E+20"_s;
    QTest::newRow("Error Value raises 13") << u"Error 5"_s << u"raised 13"_s << u"raised 13"_s;
}

void TestCompare::textCase()
{
    QFETCH(QString, source);
    QFETCH(QString, lower);
    QFETCH(QString, upper);
    QCOMPARE(outcome([&] { return lcase(valueOf(source)); }), lower);
    QCOMPARE(outcome([&] { return ucase(valueOf(source)); }), upper);
}

void TestCompare::textRankKeyOrder_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<int>("expected");
    QTest::newRow("case is ignored") << u"Alien"_s << u"aLIEN"_s << 0;
    QTest::newRow("the empty text sorts first") << u""_s << u"a"_s << -1;
    QTest::newRow("NUL alone ties with the empty text") << QString(QChar(0)) << u""_s << 0;
    QTest::newRow("control characters count for nothing") << u"a\u0001b\u007f"_s << u"ab"_s << 0;
    QTest::newRow("a trailing space sorts after") << u"a"_s << u"a "_s << -1;
    QTest::newRow("a tab sorts before a space") << u"a\t"_s << u"a "_s << -1;
    QTest::newRow("a line break sorts before a space") << u"a\r\n"_s << u"a "_s << -1;
    QTest::newRow("a space sorts before a hyphen") << u"a b"_s << u"a-b"_s << -1;
    QTest::newRow("a hyphen is not passed over") << u"a-b"_s << u"ab"_s << -1;
    QTest::newRow("punctuation decides before later letters") << u"a-c"_s << u"ab"_s << -1;
    QTest::newRow("digits compare one by one") << u"10"_s << u"9"_s << -1;
    QTest::newRow("an accent counts after all letters") << u"caf\u00e9"_s << u"cafes"_s << -1;
    QTest::newRow("an accent sorts after the plain letter") << u"cafe"_s << u"Caf\u00e9"_s << -1;
    QTest::newRow("the first accent decides") << u"\u00e9a"_s << u"e\u00e1"_s << 1;
    QTest::newRow("accents count behind an ignored character")
        << u"\u0001abc\u00e9"_s << u"abc\u00e8"_s << -1;
    QTest::newRow("acute before grave") << u"\u00e9"_s << u"\u00e8"_s << -1;
    QTest::newRow("accented capital and small tie") << u"\u00c9T\u00c9"_s << u"\u00e9t\u00e9"_s << 0;
    QTest::newRow("o with stroke is an accented o") << u"\u00f8a"_s << u"ob"_s << -1;
    QTest::newRow("thorn sorts after z") << u"\u00fe"_s << u"zz"_s << 1;
}

void TestCompare::textRankKeyOrder()
{
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(int, expected);
    QCOMPARE(compareSortKeys(left, right), expected);
    const std::optional<std::vector<std::uint8_t>> leftKey = rankKey(left);
    const std::optional<std::vector<std::uint8_t>> rightKey = rankKey(right);
    QVERIFY(leftKey && rightKey);
    QCOMPARE(compareRankKeys(*leftKey, *rightKey), expected);
    QCOMPARE(compareRankKeys(*rightKey, *leftKey), -expected);
}

void TestCompare::textRankKeyCoverage_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("covered");
    QTest::newRow("ASCII with control characters") << u"A-z 0~9\t\r\n\u0000\u007f"_s << true;
    QTest::newRow("Latin-1 letters") << u"Am\u00e9lie \u00d8rsted \u00de\u00ff"_s << true;
    QTest::newRow("ae ligature expands to two letters") << u"\u00c6on"_s << false;
    QTest::newRow("sharp s expands to two letters") << u"Stra\u00dfe"_s << false;
    QTest::newRow("middle dot joins an l before it") << u"l\u00b7l"_s << false;
    QTest::newRow("no-break space") << u"a\u00a0b"_s << false;
    QTest::newRow("letters beyond Latin-1") << u"\u0141\u00f3d\u017a"_s << false;
    QTest::newRow("zero width no-break space") << u"a\ufeffb"_s << false;
    QTest::newRow("character beyond the BMP") << u"a\U0001F600"_s << false;
}

void TestCompare::textRankKeyCoverage()
{
    QFETCH(QString, text);
    QFETCH(bool, covered);
    QCOMPARE(rankKey(text).has_value(), covered);
}

void TestCompare::textRankKeysOrderEveryShortText()
{
    QString characters;
    for (char16_t c = 0; c < 0x100; ++c) {
        if (rankKey(QStringView(&c, 1)))
            characters.append(QChar(c));
    }
    QVERIFY(characters.size() > 180); // ASCII and almost all Latin-1 letters
    std::vector<KeyedText> texts;
    for (const QChar first : characters) {
        texts.push_back({QString(first), *rankKey(QString(first))});
        for (const QChar second : characters) {
            const QString text = QString(first) + second;
            texts.push_back({text, *rankKey(text)});
        }
    }
    verifyOrderOfNeighbours(texts);
}

QTEST_GUILESS_MAIN(TestCompare)
#include "TestCompare.moc"
