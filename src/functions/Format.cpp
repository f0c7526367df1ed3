// Format: choosing between no format, a named format and the number, date/time and text engines,
// and preparing the value for the engine that shows it.
#include "functions/Format.h"

#include "functions/Calendar.h"
#include "functions/FormatParts.h"
#include "value/Coercion.h"
#include "value/DateSerial.h"
#include "value/DateText.h"
#include "value/Locale.h"
#include "value/NumberText.h"
#include "value/RuntimeError.h"
#include "value/TextForm.h"

#include <optional>

namespace reelkeep {

using namespace detail;

namespace {

// Longer formats are cut to this many characters.
constexpr qsizetype MaxFormatLength = 257;

enum class FormatKind
{
    Number,
    Date,
    Text,
    Literal, // only literal characters: the value's own kind decides
};

bool isDateLetter(QChar c)
{
    switch (c.toLower().unicode()) {
    case u'd':
    case u'w':
    case u'm':
    case u'q':
    case u'y':
    case u'h':
    case u'n':
    case u's':
    case u'c':
        return true;
    default:
        return false;
    }
}

// True when the pieces from `at` spell `word` as format characters, in any letter case.
bool spells(const std::vector<FormatPiece>& pieces, std::size_t at, QStringView word)
{
    if (at + static_cast<std::size_t>(word.size()) > pieces.size())
        return false;
    for (qsizetype i = 0; i < word.size(); ++i) {
        const FormatPiece& piece = pieces[at + static_cast<std::size_t>(i)];
        if (piece.isLiteral || piece.character.toLower() != word[i])
            return false;
    }
    return true;
}

// The first character that belongs to one kind of format decides the kind of the whole format:
// "0" "#" "%" "E+" make a number format, date and time letters a date format, "@" "&" "<" ">"
// "!" a text format.
FormatKind classify(QStringView format)
{
    const std::vector<FormatPiece> pieces = formatPieces(format);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (pieces[i].isLiteral)
            continue;
        const QChar c = pieces[i].character;
        if (c == u'0' || c == u'#' || c == u'%')
            return FormatKind::Number;
        if ((c == u'E' || c == u'e') && (spells(pieces, i + 1, u"+") || spells(pieces, i + 1, u"-")))
            return FormatKind::Number;
        if (isDateLetter(c) || spells(pieces, i, u"ttttt") || spells(pieces, i, u"am/pm") ||
            spells(pieces, i, u"a/p") || spells(pieces, i, u"ampm") || spells(pieces, i, u"aaaa"))
            return FormatKind::Date;
        if (c == u'@' || c == u'&' || c == u'<' || c == u'>' || c == u'!')
            return FormatKind::Text;
    }
    return FormatKind::Literal;
}

SignedDigits fromDouble(double value, int significantDigits)
{
    return {decimalDigitsFromDouble(value, significantDigits), value < 0};
}

SignedDigits fromText(const QString& text)
{
    const bool negative = text.startsWith(u'-');
    return {decimalDigitsFromText(negative ? QStringView(text).mid(1) : QStringView(text)), negative};
}

// The exact number a numeric format shows: integers, Currency and Decimal digit for digit,
// Double and Single rounded to 15 and 7 significant digits as their text form is, a Date as its
// serial, True as -1, Empty as 0. Empty for a text that is not a number and for an Error Value,
// which are shown unchanged.
std::optional<SignedDigits> numberOf(const Value& value)
{
    switch (value.kind()) {
    case Kind::Empty:
        return SignedDigits();
    case Kind::Boolean:
        return SignedDigits{decimalDigitsFromText(value.asBoolean() ? u"1" : u"0"), value.asBoolean()};
    case Kind::Byte:
    case Kind::Integer:
    case Kind::Long:
        return fromText(QString::number(toLong(value)));
    case Kind::Single:
        return fromDouble(double(value.asSingle()), 7);
    case Kind::Double:
        return fromDouble(value.asDouble(), 15);
    case Kind::Date:
        return fromDouble(value.asDate(), 15);
    case Kind::Currency:
        return fromText(currencyText(value.asCurrency()));
    case Kind::Decimal:
        return fromText(decimalText(value.asDecimal()));
    case Kind::String: {
        const std::optional<NumberText> number = parseNumberText(value.asString());
        if (!number)
            return std::nullopt;
        return fromDouble(numberTextToDouble(*number), 15);
    }
    default:
        return std::nullopt;
    }
}

// The serial a date format shows: a Date or a number as a serial, a text read as CDate reads it
// ("2.5" is 2:05 AM), else a numeric text as a serial ("39697.11"). Empty for other texts and for
// Error Values, which are shown unchanged.
std::optional<double> serialOf(const Value& value)
{
    if (value.kind() == Kind::Error)
        return std::nullopt;
    if (value.kind() != Kind::String)
        return toDate(value);
    if (const std::optional<double> serial = parseDateText(value.asString()))
        return serial;
    if (const std::optional<NumberText> number = parseNumberText(value.asString()))
        return toDate(Value::makeDouble(numberTextToDouble(*number)));
    return std::nullopt;
}

// The text a value shows when a format cannot apply to it, or under a text format.
QString plainText(const Value& value)
{
    return value.kind() == Kind::Error ? cstrText(value) : toStringLet(value);
}

QString formatAsNumber(const Value& value, const std::vector<QStringView>& sections)
{
    const std::optional<SignedDigits> number = numberOf(value);
    return number ? formatWithNumberSections(sections, *number) : plainText(value);
}

QString formatAsDate(const Value& value, QStringView section, int firstDayOfWeek, int firstWeekOfYear)
{
    const std::optional<double> serial = serialOf(value);
    return serial ? formatDateSection(section, *serial, firstDayOfWeek, firstWeekOfYear) : plainText(value);
}

// Null has a text only through the fourth section of a number format or the second section of
// a text format; otherwise the result is Null.
Value formatNull(const std::vector<QStringView>& sections, FormatKind kind)
{
    if (kind == FormatKind::Text && sections.size() >= 2)
        return Value::makeString(formatTextSection(sections[1], QString()));
    if (kind != FormatKind::Text && kind != FormatKind::Date && sections.size() >= 4)
        return Value::makeString(formatNumberSection(sections[3], DecimalDigits(), false));
    return Value::makeNull();
}

QString userDefined(const Value& value, QStringView format, FormatKind kind, int firstDay, int firstWeek)
{
    const std::vector<QStringView> sections = formatSections(format);
    if (kind == FormatKind::Literal) {
        if (value.kind() == Kind::String || value.kind() == Kind::Error)
            kind = FormatKind::Text;
        else
            kind = value.kind() == Kind::Date ? FormatKind::Date : FormatKind::Number;
    }
    switch (kind) {
    case FormatKind::Number:
    case FormatKind::Literal:
        return formatAsNumber(value, sections);
    case FormatKind::Date:
        return formatAsDate(value, sections.front(), firstDay, firstWeek);
    case FormatKind::Text:
        break;
    }
    return formatWithTextSections(sections, plainText(value));
}

// Case folding keeps each code unit one code unit, so texts of other lengths never match: most
// formats are not names, and are told so without folding them.
bool isName(QStringView text, QStringView name)
{
    return text.size() == name.size() && text.compare(name, Qt::CaseInsensitive) == 0;
}

// The named number formats are number formats written with the locale's symbols.
std::optional<QString> namedNumberFormat(QStringView name)
{
    if (isName(name, u"Currency")) {
        const QString currency = u'"' + locale().currencySymbol + u'"';
        return currency + QStringLiteral("#,##0.00;(") + currency + QStringLiteral("#,##0.00)");
    }
    if (isName(name, u"Fixed"))
        return QStringLiteral("0.00");
    if (isName(name, u"Standard"))
        return QStringLiteral("#,##0.00");
    if (isName(name, u"Percent"))
        return QStringLiteral("0.00%");
    if (isName(name, u"Scientific"))
        return QStringLiteral("0.00E+00");
    return std::nullopt;
}

// Yes/No, True/False and On/Off: the second word for zero, the first for any other number.
std::optional<std::pair<QString, QString>> namedTruthWords(QStringView name)
{
    for (const QStringView words : {u"Yes/No", u"True/False", u"On/Off"}) {
        if (isName(name, words)) {
            const qsizetype slash = words.indexOf(u'/');
            return std::pair{words.left(slash).toString(), words.mid(slash + 1).toString()};
        }
    }
    return std::nullopt;
}

QString generalNumber(const Value& value)
{
    switch (value.kind()) {
    case Kind::Empty:
        return QStringLiteral("0");
    case Kind::Boolean:
        return value.asBoolean() ? QStringLiteral("-1") : QStringLiteral("0");
    case Kind::Date:
        return formatDouble(value.asDate(), 15);
    case Kind::String: {
        const std::optional<NumberText> number = parseNumberText(value.asString());
        return number ? formatDouble(numberTextToDouble(*number), 15) : value.asString();
    }
    default:
        return plainText(value);
    }
}

std::optional<QString> namedDateFormat(const Value& value, QStringView name, int firstDay, int firstWeek)
{
    const LocaleConventions& conventions = locale();
    const auto named = [&](const QString& format) {
        return formatAsDate(value, format, firstDay, firstWeek);
    };
    const auto serialText = [&](QString (*text)(double)) {
        const std::optional<double> serial = serialOf(value);
        return serial ? text(*serial) : plainText(value);
    };
    if (isName(name, u"General Date"))
        return serialText(&dateText);
    if (isName(name, u"Long Date"))
        return named(conventions.longDateFormat);
    if (isName(name, u"Medium Date"))
        return named(conventions.mediumDateFormat);
    if (isName(name, u"Short Date"))
        return serialText(&shortDateText);
    if (isName(name, u"Long Time"))
        return serialText(&longTimeText);
    if (isName(name, u"Medium Time"))
        return named(conventions.mediumTimeFormat);
    if (isName(name, u"Short Time"))
        return named(conventions.shortTimeFormat);
    return std::nullopt;
}

std::optional<QString> named(const Value& value, QStringView name, int firstDay, int firstWeek)
{
    if (isName(name, u"General Number"))
        return generalNumber(value);
    if (const std::optional<QString> format = namedNumberFormat(name))
        return formatAsNumber(value, formatSections(*format));
    if (const auto words = namedTruthWords(name)) {
        const std::optional<SignedDigits> number = numberOf(value);
        if (!number)
            return plainText(value);
        return number->magnitude.isZero() ? words->second : words->first;
    }
    return namedDateFormat(value, name, firstDay, firstWeek);
}

bool isNamedFormat(QStringView name)
{
    static const QStringView Names[] = {
        u"General Number",
        u"Currency",
        u"Fixed",
        u"Standard",
        u"Percent",
        u"Scientific",
        u"Yes/No",
        u"True/False",
        u"On/Off",
        u"General Date",
        u"Long Date",
        u"Medium Date",
        u"Short Date",
        u"Long Time",
        u"Medium Time",
        u"Short Time",
    };
    for (const QStringView known : Names) {
        if (isName(name, known))
            return true;
    }
    return false;
}

// Without a format a value shows its text form: a number as CStr writes it (no leading space),
// a Date as the general date, a text unchanged, Empty as "".
Value unformatted(const Value& value)
{
    if (value.isNull())
        return value;
    return Value::makeString(plainText(value));
}

} // namespace

Value Format(const Value& expression,
             const std::optional<Value>& format,
             int firstDayOfWeek,
             int firstWeekOfYear)
{
    const int firstDay = resolveFirstDayOfWeek(firstDayOfWeek);
    const int firstWeek = resolveFirstWeekOfYear(firstWeekOfYear);
    const Value value = resolveObject(expression);
    // The format is a String parameter: Null there is an invalid use of Null.
    const QString formatText = format ? toStringLet(*format).left(MaxFormatLength) : QString();
    if (formatText.isEmpty())
        return unformatted(value);
    if (isNamedFormat(formatText)) {
        if (value.isNull())
            return value;
        return Value::makeString(*named(value, formatText, firstDay, firstWeek));
    }
    const FormatKind kind = classify(formatText);
    if (value.isNull())
        return formatNull(formatSections(formatText), kind);
    return Value::makeString(userDefined(value, formatText, kind, firstDay, firstWeek));
}

} // namespace reelkeep
