// User-defined number formats: digit placeholders, the decimal point, thousands grouping and
// scaling, percent, scientific notation and literals.
#include "functions/FormatParts.h"
#include "value/Locale.h"

#include <algorithm>
#include <cstdlib>

namespace reelkeep::detail {
namespace {

enum class ItemKind
{
    Digit,    // "0" or "#"
    Point,    // the decimal point
    Exponent, // "E+", "E-", "e+" or "e-" with the exponent's placeholders after it
    Literal,  // text printed as it is, "%" included
};

enum class Region
{
    Integer,
    Fraction,
    Exponent,
};

struct Item
{
    ItemKind kind;
    Region region = Region::Integer;
    QChar placeholder; // Digit: '0' or '#'; Exponent: 'E' or 'e'
    QString text;      // Literal
    bool alwaysSigned = false;
};

// A number section taken apart: its items in order and the counts the layout needs.
struct NumberSection
{
    std::vector<Item> items;
    int integerDigits = 0;
    int fractionDigits = 0;
    int fractionShown = 0;   // the fraction placeholders up to the last "0", which always show a digit
    int exponentZeros = 0;   // the "0" placeholders of the exponent: its least number of digits
    int firstZeroIndex = -1; // the first "0" among the integer placeholders
    bool grouping = false;
    int thousandsScaling = 0; // commas that each divide by 1000
    int percents = 0;
    bool hasPoint = false;
    bool hasExponent = false;
};

void addLiteral(NumberSection& layout, const QString& text)
{
    if (!layout.items.empty() && layout.items.back().kind == ItemKind::Literal)
        layout.items.back().text += text;
    else
        layout.items.push_back({ItemKind::Literal, Region::Integer, QChar(), text});
}

// A comma among the integer placeholders groups thousands when another integer placeholder
// follows it; commas with none after them (at the end of the integer part, or just left of the
// point) each divide the value by 1000.
void resolveCommas(NumberSection& layout, const std::vector<int>& commaPositions)
{
    for (const int placeholdersBefore : commaPositions) {
        if (placeholdersBefore < layout.integerDigits)
            layout.grouping = true;
        else if (placeholdersBefore > 0)
            ++layout.thousandsScaling;
    }
}

bool isFormatCharacter(const FormatPiece& piece, QChar c)
{
    return !piece.isLiteral && piece.character == c;
}

// "E+", "E-", "e+" or "e-" start scientific notation only when a digit placeholder follows them.
bool startsExponent(const std::vector<FormatPiece>& pieces, std::size_t at)
{
    if (at + 1 >= pieces.size() ||
        !(isFormatCharacter(pieces[at + 1], u'+') || isFormatCharacter(pieces[at + 1], u'-')))
        return false;
    return std::any_of(
        pieces.begin() + static_cast<std::ptrdiff_t>(at) + 2, pieces.end(), [](const FormatPiece& piece) {
            return isFormatCharacter(piece, u'0') || isFormatCharacter(piece, u'#');
        });
}

NumberSection parseNumberSection(QStringView section)
{
    const LocaleConventions& conventions = locale();
    NumberSection layout;
    std::vector<int> commaPositions;
    Region region = Region::Integer;
    const std::vector<FormatPiece> pieces = formatPieces(section);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const FormatPiece& piece = pieces[i];
        if (piece.isLiteral) {
            addLiteral(layout, piece.literal);
            continue;
        }
        const QChar c = piece.character;
        if (c == u'0' || c == u'#') {
            layout.items.push_back({ItemKind::Digit, region, c, QString()});
            if (region == Region::Integer) {
                if (c == u'0' && layout.firstZeroIndex < 0)
                    layout.firstZeroIndex = layout.integerDigits;
                ++layout.integerDigits;
            } else if (region == Region::Fraction) {
                ++layout.fractionDigits;
                if (c == u'0')
                    layout.fractionShown = layout.fractionDigits;
            } else if (c == u'0') {
                ++layout.exponentZeros;
            }
        } else if (c == u'.' && region == Region::Integer) {
            layout.items.push_back({ItemKind::Point, region, c, QString()});
            layout.hasPoint = true;
            region = Region::Fraction;
        } else if (c == u',' && region != Region::Exponent) {
            if (region == Region::Integer)
                commaPositions.push_back(layout.integerDigits);
        } else if ((c == u'E' || c == u'e') && region != Region::Exponent && startsExponent(pieces, i)) {
            layout.items.push_back({ItemKind::Exponent, region, c, QString(), pieces[++i].character == u'+'});
            layout.hasExponent = true;
            region = Region::Exponent;
        } else if (c == u'%') {
            ++layout.percents;
            addLiteral(layout, QStringLiteral("%"));
        } else if (c == u':') {
            addLiteral(layout, QString(conventions.timeSeparator));
        } else if (c == u'/') {
            addLiteral(layout, QString(conventions.dateSeparator));
        } else {
            addLiteral(layout, QString(c));
        }
    }
    resolveCommas(layout, commaPositions);
    return layout;
}

// The digits before the decimal point, at least `minimum` of them (zeros in front).
std::string integerDigitsOf(const DecimalDigits& number, int minimum)
{
    std::string digits;
    if (number.pointPosition > 0) {
        const auto length = static_cast<std::size_t>(number.pointPosition);
        digits = number.digits.substr(0, length);
        digits.resize(length, '0');
    }
    if (static_cast<int>(digits.size()) < minimum)
        digits.insert(0, static_cast<std::size_t>(minimum) - digits.size(), '0');
    return digits;
}

// Exactly `count` digits after the decimal point.
std::string fractionDigitsOf(const DecimalDigits& number, int count)
{
    std::string digits;
    for (int i = 0; i < count; ++i) {
        const long long index = static_cast<long long>(number.pointPosition) + i;
        const bool inside = index >= 0 && index < static_cast<long long>(number.digits.size());
        digits.push_back(inside ? number.digits[static_cast<std::size_t>(index)] : '0');
    }
    return digits;
}

// Writes the integer digits into the integer placeholders: right-aligned, the leftmost
// placeholder taking every digit that has no placeholder of its own.
class IntegerWriter
{
public:
    IntegerWriter(std::string digits, int placeholders, bool grouping)
        : m_digits(std::move(digits))
        , m_placeholders(placeholders)
        , m_grouping(grouping)
    {}

    void writePlaceholder(QString& out)
    {
        const int position = m_placeholders - 1 - m_next; // 0 = the units
        const int highest = m_next == 0 ? static_cast<int>(m_digits.size()) - 1 : position;
        for (int q = highest; q >= position; --q)
            writeDigit(out, q);
        ++m_next;
    }

    // The integer part when the section has no integer placeholder of its own.
    void writeAll(QString& out)
    {
        for (int q = static_cast<int>(m_digits.size()) - 1; q >= 0; --q)
            writeDigit(out, q);
    }

private:
    void writeDigit(QString& out, int position)
    {
        const int length = static_cast<int>(m_digits.size());
        if (position >= length)
            return;
        out += QChar::fromLatin1(m_digits[static_cast<std::size_t>(length - 1 - position)]);
        if (m_grouping && position > 0 && position % 3 == 0)
            out += locale().thousandsSeparator;
    }

    std::string m_digits;
    int m_placeholders;
    bool m_grouping;
    int m_next = 0;
};

QString exponentText(const Item& item, int exponent, int minimumDigits)
{
    QString text(item.placeholder);
    if (exponent < 0)
        text += u'-';
    else if (item.alwaysSigned)
        text += u'+';
    text += QString::number(std::abs(exponent)).rightJustified(minimumDigits, u'0');
    return text;
}

// The number scaled for display: "%" multiplies by 100, trailing commas divide by 1000.
DecimalDigits scaled(DecimalDigits number, const NumberSection& layout)
{
    if (!number.isZero())
        number.pointPosition += 2 * layout.percents - 3 * layout.thousandsScaling;
    return number;
}

// In scientific notation the mantissa keeps as many integer digits as there are integer
// placeholders; returns the exponent and leaves the rounded mantissa in `number`.
int toScientific(DecimalDigits& number, const NumberSection& layout)
{
    if (number.isZero())
        return 0;
    int exponent = number.pointPosition - layout.integerDigits;
    number.pointPosition = layout.integerDigits;
    roundToDecimals(number, layout.fractionDigits);
    if (number.pointPosition > layout.integerDigits) { // 9.99 rounded up to 10.0
        ++exponent;
        number.pointPosition = layout.integerDigits;
    }
    return exponent;
}

} // namespace

QString formatNumberSection(QStringView section, DecimalDigits magnitude, bool minus)
{
    const NumberSection layout = parseNumberSection(section);
    DecimalDigits number = scaled(std::move(magnitude), layout);
    int exponent = 0;
    if (layout.hasExponent)
        exponent = toScientific(number, layout);
    else
        roundToDecimals(number, layout.fractionDigits);

    const int minimumIntegerDigits =
        layout.firstZeroIndex < 0 ? 0 : layout.integerDigits - layout.firstZeroIndex;
    IntegerWriter integer(
        integerDigitsOf(number, minimumIntegerDigits), layout.integerDigits, layout.grouping);
    const std::string fraction = fractionDigitsOf(number, layout.fractionDigits);
    // Every fraction placeholder up to the last "0" shows its digit, a "#" among them too; only
    // the "#" after the last "0" drop trailing zeros.
    const int fractionShown =
        std::max(layout.fractionShown, static_cast<int>(fraction.find_last_not_of('0') + 1));

    QString out;
    if (minus)
        out += u'-';
    int fractionIndex = 0;
    for (const Item& item : layout.items) {
        switch (item.kind) {
        case ItemKind::Literal:
            out += item.text;
            break;
        case ItemKind::Digit:
            if (item.region == Region::Integer) {
                integer.writePlaceholder(out);
            } else if (item.region == Region::Fraction) {
                if (fractionIndex < fractionShown)
                    out += QChar::fromLatin1(fraction[static_cast<std::size_t>(fractionIndex)]);
                ++fractionIndex;
            }
            break;
        case ItemKind::Point:
            if (layout.integerDigits == 0)
                integer.writeAll(out);
            out += locale().decimalSeparator;
            break;
        case ItemKind::Exponent:
            if (layout.integerDigits == 0 && !layout.hasPoint)
                integer.writeAll(out);
            out += exponentText(item, exponent, layout.exponentZeros);
            break;
        }
    }
    return out;
}

QString formatWithNumberSections(const std::vector<QStringView>& sections, const SignedDigits& number)
{
    // One section serves every value; two: non-negative / negative; three or four:
    // positive / negative / zero. An empty section falls back to the first.
    const std::size_t count = std::min<std::size_t>(sections.size(), 4);
    std::size_t index = 0;
    if (number.negative && count >= 2)
        index = 1;
    else if (number.magnitude.isZero() && count >= 3)
        index = 2;
    const bool ownSection = index != 0 && !sections[index].isEmpty();
    if (!ownSection)
        index = 0;
    const bool minus = number.negative && !ownSection;
    return formatNumberSection(sections[index], number.magnitude, minus);
}

} // namespace reelkeep::detail
