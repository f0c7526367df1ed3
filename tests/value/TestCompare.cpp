// StrComp in binary and text mode, Like patterns, and the rank keys that order texts as text mode does.
#include "ValueNotation.h"
#include "evaluator/value/Compare.h"
#include "evaluator/value/RuntimeError.h"
#include "evaluator/value/TextCase.h"
#include "evaluator/value/TextRankKey.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <optional>
#include <vector>

using namespace reelkeep;
using namespace reelkeep::test;

class TestCompare : public QObject
{
    Q_OBJECT

private slots:
    void strComp_data();
    void strComp();
    void strCompOfValues();
    void compareModes();
    void like_data();
    void like();
    void textCase_data();
    void textCase();
    void textRankKeyOrder_data();
    void textRankKeyOrder();
    void textRankKeyCoverage_data();
    void textRankKeyCoverage();
    void textRankKeysOrderEveryShortText();
    void textRankKeysOrderRandomTexts();
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

void TestCompare::strComp_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<int>("binary");
    QTest::addColumn<int>("text");
    QTest::newRow("small a against capital B") << "a"
                                               << "B" << 1 << -1;
    QTest::newRow("case differs only") << "abc"
                                       << "ABC" << 1 << 0;
    QTest::newRow("equal texts") << "a"
                                 << "a" << 0 << 0;
    QTest::newRow("prefix sorts first") << "ab"
                                        << "abc" << -1 << -1;
    QTest::newRow("accented letter sorts with its base letter") << "\u00e4"
                                                                << "b" << 1 << -1;
    QTest::newRow("empty against text") << ""
                                        << "a" << -1 << -1;
}

void TestCompare::strComp()
{
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(int, binary);
    QFETCH(int, text);
    QCOMPARE(compareStrings(left, right, CompareMode::Binary), binary);
    QCOMPARE(compareStrings(left, right, CompareMode::Text), text);
    QCOMPARE(compareStrings(right, left, CompareMode::Binary), -binary);
}

void TestCompare::strCompOfValues()
{
    QCOMPARE(outcome([] {
                 return reelkeep::strComp(
                     Value::makeNull(), Value::makeString(QStringLiteral("a")), CompareMode::Binary);
             }),
             QStringLiteral("Null: "));
    QCOMPARE(
        outcome([] { return reelkeep::strComp(Value(), Value::makeString(QString()), CompareMode::Binary); }),
        QStringLiteral("Integer: 0"));
    QCOMPARE(outcome([] {
                 return reelkeep::strComp(
                     Value::makeDouble(10), Value::makeString(QStringLiteral("9")), CompareMode::Binary);
             }),
             QStringLiteral("Integer: -1"));
    QCOMPARE(outcome([] { return reelkeep::strComp(Value::makeError(5), Value(), CompareMode::Binary); }),
             QStringLiteral("raised 13"));
}

void TestCompare::compareModes()
{
    QCOMPARE(compareModeOf(-1), CompareMode::Binary);
    QCOMPARE(compareModeOf(0), CompareMode::Binary);
    QCOMPARE(compareModeOf(1), CompareMode::Text);
    QCOMPARE(outcome([] { return Value::makeLong(int(compareModeOf(3))); }), QStringLiteral("raised 5"));
}

void TestCompare::like_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");
    QTest::newRow("star then literal") << "abc"
                                       << "a*"
                                       << "True";
    QTest::newRow("case-sensitive") << "ABC"
                                    << "a*"
                                    << "False";
    QTest::newRow("question mark is one character") << "abc"
                                                    << "a?c"
                                                    << "True";
    QTest::newRow("question mark needs a character") << "ac"
                                                     << "a?c"
                                                     << "False";
    QTest::newRow("hash is one digit") << "a1b"
                                       << "a#b"
                                       << "True";
    QTest::newRow("hash refuses a letter") << "axb"
                                           << "a#b"
                                           << "False";
    QTest::newRow("star backtracks") << "abcabd"
                                     << "*abd"
                                     << "True";
    QTest::newRow("two stars") << "aXbYc"
                               << "a*b*c"
                               << "True";
    QTest::newRow("whole text must match") << "abcd"
                                           << "abc"
                                           << "False";
    QTest::newRow("range") << "m"
                           << "[a-z]"
                           << "True";
    QTest::newRow("negated range") << "aBa"
                                   << "a[!a-z]a"
                                   << "True";
    QTest::newRow("negated range refuses") << "aba"
                                           << "a[!a-z]a"
                                           << "False";
    QTest::newRow("list of characters") << "b"
                                        << "[abc]"
                                        << "True";
    QTest::newRow("star is literal in a list") << "*"
                                               << "[*]"
                                               << "True";
    QTest::newRow("bracket is literal in a list") << "["
                                                  << "[[]"
                                                  << "True";
    QTest::newRow("question mark is literal in a list") << "a"
                                                        << "[?]"
                                                        << "False";
    QTest::newRow("hyphen first is literal") << "-"
                                             << "[-a]"
                                             << "True";
    QTest::newRow("hyphen last is literal") << "-"
                                            << "[a-]"
                                            << "True";
    QTest::newRow("empty list matches nothing") << "x"
                                                << "[]x"
                                                << "True";
    QTest::newRow("closing bracket outside a list is literal") << "a]"
                                                               << "a]"
                                                               << "True";
    QTest::newRow("exclamation outside a list is literal") << "!"
                                                           << "!"
                                                           << "True";
    QTest::newRow("empty text and star") << ""
                                         << "*"
                                         << "True";
    QTest::newRow("empty text and empty pattern") << ""
                                                  << ""
                                                  << "True";
    QTest::newRow("empty text and question mark") << ""
                                                  << "?"
                                                  << "False";
    QTest::newRow("reversed range raises 93") << "a"
                                              << "[z-a]"
                                              << "raised 93";
    QTest::newRow("missing bracket raises 93") << "a"
                                               << "[a-b"
                                               << "raised 93";
}

void TestCompare::like()
{
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QString result;
    try {
        result = reelkeep::like(text, pattern) ? QStringLiteral("True") : QStringLiteral("False");
    } catch (const RuntimeError& error) {
        result = QStringLiteral("raised ") + QString::number(error.number());
    }
    QCOMPARE(result, expected);
}

void TestCompare::textCase_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("lower");
    QTest::addColumn<QString>("upper");
    QTest::newRow("letters change case") << "String AbC"
                                         << "String: abc"
                                         << "String: ABC";
    QTest::newRow("Latin-1 letters change case") << "String \u00c4\u00f6"
                                                 << "String: \u00e4\u00f6"
                                                 << "String: \u00c4\u00d6";
    QTest::newRow("Null stays Null") << "Null"
                                     << "Null: "
                                     << "Null: ";
    QTest::newRow("Empty becomes empty text") << "Empty"
                                              << "String: "
                                              << "String: ";
    QTest::newRow("Boolean becomes its text") << "Boolean True"
                                              << "String: true"
                                              << "String: TRUE";
    QTest::newRow("number becomes its text") << "Double 1e20"
                                             << "String: 1e+20"
                                             << "String: 1E+20";
    QTest::newRow("Error Value raises 13") << "Error 5"
                                           << "raised 13"
                                           << "raised 13";
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
    QTest::newRow("case is ignored") << "Alien"
                                     << "aLIEN" << 0;
    QTest::newRow("the empty text sorts first") << ""
                                                << "a" << -1;
    QTest::newRow("NUL alone ties with the empty text") << QString(QChar(0)) << "" << 0;
    QTest::newRow("control characters count for nothing") << "a\u0001b\u007f"
                                                          << "ab" << 0;
    QTest::newRow("a trailing space sorts after") << "a"
                                                  << "a " << -1;
    QTest::newRow("a tab sorts before a space") << "a\t"
                                                << "a " << -1;
    QTest::newRow("a line break sorts before a space") << "a\r\n"
                                                       << "a " << -1;
    QTest::newRow("a space sorts before a hyphen") << "a b"
                                                   << "a-b" << -1;
    QTest::newRow("a hyphen is not passed over") << "a-b"
                                                 << "ab" << -1;
    QTest::newRow("punctuation decides before later letters") << "a-c"
                                                              << "ab" << -1;
    QTest::newRow("digits compare one by one") << "10"
                                               << "9" << -1;
    QTest::newRow("an accent counts after all letters") << "caf\u00e9"
                                                        << "cafes" << -1;
    QTest::newRow("an accent sorts after the plain letter") << "cafe"
                                                            << "Caf\u00e9" << -1;
    QTest::newRow("the first accent decides") << "\u00e9a"
                                              << "e\u00e1" << 1;
    QTest::newRow("acute before grave") << "\u00e9"
                                        << "\u00e8" << -1;
    QTest::newRow("accented capital and small tie") << "\u00c9T\u00c9"
                                                    << "\u00e9t\u00e9" << 0;
    QTest::newRow("o with stroke is an accented o") << "\u00f8a"
                                                    << "ob" << -1;
    QTest::newRow("thorn sorts after z") << "\u00fe"
                                         << "zz" << 1;
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
    QTest::newRow("ASCII with control characters") << "A-z 0~9\t\r\n\u0000\u007f" << true;
    QTest::newRow("Latin-1 letters") << "Am\u00e9lie \u00d8rsted \u00de\u00ff" << true;
    QTest::newRow("ae ligature expands to two letters") << "\u00c6on" << false;
    QTest::newRow("sharp s expands to two letters") << "Stra\u00dfe" << false;
    QTest::newRow("middle dot joins an l before it") << "l\u00b7l" << false;
    QTest::newRow("no-break space") << "a\u00a0b" << false;
    QTest::newRow("letters beyond Latin-1") << "\u0141\u00f3d\u017a" << false;
    QTest::newRow("zero width no-break space") << "a\ufeffb" << false;
    QTest::newRow("character beyond the BMP") << "a\U0001F600" << false;
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

// Random texts over all of ASCII and some Latin-1 letters, many of them near others: the same
// with another case, with a character more or less, or cut short.
void TestCompare::textRankKeysOrderRandomTexts()
{
    const QString alphabet = QStringLiteral("aAbBeEzZ09 -.,'!&:\t\n\r\u00e9\u00c9\u00e8\u00f8\u00de") +
                             QChar(0) + QChar(1) + QChar(0x7f);
    QRandomGenerator random(20240611);
    std::vector<KeyedText> texts;
    for (int i = 0; i < 4000; ++i) {
        QString text;
        if (texts.empty() || random.bounded(3) == 0) {
            for (int length = random.bounded(10); length > 0; --length)
                text.append(random.bounded(4) == 0 ? QChar(random.bounded(128))
                                                   : alphabet[random.bounded(int(alphabet.size()))]);
        } else {
            text = texts[random.bounded(int(texts.size()))].text;
            const int at = random.bounded(int(text.size()) + 1);
            switch (random.bounded(4)) {
            case 0:
                text = text.toUpper();
                break;
            case 1:
                text.insert(at, alphabet[random.bounded(int(alphabet.size()))]);
                break;
            case 2:
                text.remove(at, 1);
                break;
            default:
                text.truncate(at);
            }
        }
        const std::optional<std::vector<std::uint8_t>> key = rankKey(text);
        QVERIFY(key);
        texts.push_back({text, *key});
    }
    verifyOrderOfNeighbours(texts);
}

QTEST_GUILESS_MAIN(TestCompare)
#include "TestCompare.moc"
