// StrComp and Like.
#include "value/Compare.h"

#include "value/Locale.h"
#include "value/RuntimeError.h"
#include "value/TextForm.h"

#include <QCollator>
#include <QLocale>

#include <vector>

namespace reelkeep {
namespace {

const QCollator& textCollator()
{
    static const QCollator collator = [] {
        QCollator result{QLocale(locale().collationLocale)};
        result.setCaseSensitivity(Qt::CaseInsensitive);
        return result;
    }();
    return collator;
}

int sign(int number)
{
    return number < 0 ? -1 : number > 0 ? 1 : 0;
}

// One element of a compiled Like pattern.
struct PatternElement
{
    enum Type
    {
        Literal,
        AnyCharacter,
        Digit,
        AnyRun,
        List,
    };

    explicit PatternElement(Type elementType, char16_t literalUnit = 0)
        : type(elementType)
        , literal(literalUnit)
    {}

    Type type;
    char16_t literal;
    bool negated = false;
    std::vector<std::pair<char16_t, char16_t>> ranges; // inclusive code-unit ranges of a list

    bool matches(char16_t c) const
    {
        switch (type) {
        case Literal:
            return c == literal;
        case AnyCharacter:
            return true;
        case Digit:
            return c >= u'0' && c <= u'9';
        case List: {
            bool inList = false;
            for (const auto& [first, last] : ranges)
                inList = inList || (c >= first && c <= last);
            return inList != negated;
        }
        case AnyRun:
            break;
        }
        return false;
    }
};

// Compiles the list after a "[" at `at`; leaves `at` after the closing "]". An empty list "[]"
// matches the zero-length string, so it yields no element at all.
std::optional<PatternElement> compileList(QStringView pattern, qsizetype& at)
{
    const qsizetype close = pattern.indexOf(u']', at);
    if (close < 0)
        raise(ErrorNumber::InvalidPatternString);
    QStringView body = pattern.mid(at, close - at);
    at = close + 1;
    if (body.isEmpty())
        return std::nullopt;
    PatternElement element(PatternElement::List);
    if (body.startsWith(u'!')) {
        element.negated = true;
        body = body.mid(1);
    }
    for (qsizetype i = 0; i < body.size(); ++i) {
        const char16_t first = body[i].unicode();
        if (i + 2 < body.size() && body[i + 1] == u'-') {
            const char16_t last = body[i + 2].unicode();
            if (last < first)
                raise(ErrorNumber::InvalidPatternString);
            element.ranges.emplace_back(first, last);
            i += 2;
        } else {
            element.ranges.emplace_back(first, first);
        }
    }
    return element;
}

std::vector<PatternElement> compilePattern(QStringView pattern)
{
    std::vector<PatternElement> elements;
    for (qsizetype at = 0; at < pattern.size();) {
        const QChar c = pattern[at];
        if (c == u'[') {
            ++at;
            if (std::optional<PatternElement> list = compileList(pattern, at))
                elements.push_back(std::move(*list));
            continue;
        }
        ++at;
        if (c == u'?')
            elements.emplace_back(PatternElement::AnyCharacter);
        else if (c == u'#')
            elements.emplace_back(PatternElement::Digit);
        else if (c == u'*') {
            if (elements.empty() || elements.back().type != PatternElement::AnyRun)
                elements.emplace_back(PatternElement::AnyRun);
        } else {
            elements.emplace_back(PatternElement::Literal, c.unicode());
        }
    }
    return elements;
}

} // namespace

CompareMode compareModeOf(int argument)
{
    switch (argument) {
    case -1:
    case 0:
        return CompareMode::Binary;
    case 1:
        return CompareMode::Text;
    case 2:
        return CompareMode::Database;
    default:
        raise(ErrorNumber::InvalidProcedureCall);
    }
}

int compareStrings(QStringView left, QStringView right, CompareMode mode)
{
    if (mode == CompareMode::Binary)
        return sign(left.compare(right, Qt::CaseSensitive));
    return sign(textCollator().compare(left, right));
}

QCollatorSortKey textSortKey(const QString& text)
{
    return textCollator().sortKey(text);
}

Value strComp(const Value& left, const Value& right, CompareMode mode)
{
    if (left.isNull() || right.isNull())
        return Value::makeNull();
    return Value::makeInteger(std::int16_t(compareStrings(toStringLet(left), toStringLet(right), mode)));
}

bool like(QStringView text, QStringView pattern)
{
    const std::vector<PatternElement> elements = compilePattern(pattern);
    // Greedy matching with a single backtrack point: the most recent "*".
    std::size_t element = 0;
    qsizetype position = 0;
    std::size_t starElement = std::size_t(-1);
    qsizetype starPosition = 0;
    while (position < text.size()) {
        if (element < elements.size() && elements[element].type == PatternElement::AnyRun) {
            starElement = element++;
            starPosition = position;
        } else if (element < elements.size() && elements[element].matches(text[position].unicode())) {
            ++element;
            ++position;
        } else if (starElement != std::size_t(-1)) {
            element = starElement + 1;
            position = ++starPosition;
        } else {
            return false;
        }
    }
    while (element < elements.size() && elements[element].type == PatternElement::AnyRun)
        ++element;
    return element == elements.size();
}

} // namespace reelkeep
