// The kinds of extra fields with their values' canonical texts, and the rules of their names.
#include "catalogue/ExtraField.h"

#include "catalogue/FilmRecord.h"
#include "text/Characters.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <cmath>

namespace reelkeep {

namespace {

std::optional<QString> asText(QStringView typed)
{
    return typed.toString();
}

// A number as the C locale writes it, without group separators; nothing for a text that is no
// finite number.
std::optional<double> numberOf(QStringView text)
{
    static const QLocale c = [] {
        QLocale locale = QLocale::c();
        locale.setNumberOptions(QLocale::RejectGroupSeparator);
        return locale;
    }();
    bool ok = false;
    const double number = c.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return number;
}

// The shortest text that reads back as the same number: plain digits from 1e-7 to 1e21, an
// exponent beyond, as the writers of JSON do it. Minus zero is zero.
QString numberText(double number)
{
    const double size = std::abs(number);
    if (size == 0.0)
        return QStringLiteral("0");
    const char format = size >= 1e-7 && size < 1e21 ? 'f' : 'e';
    return QString::number(number, format, QLocale::FloatingPointShortest);
}

std::optional<QString> asNumber(QStringView typed)
{
    const std::optional<double> number = numberOf(typed);
    return number ? std::optional<QString>(numberText(*number)) : std::nullopt;
}

std::optional<QString> asRating(QStringView typed)
{
    const std::optional<double> number = numberOf(typed);
    if (!number || *number < 0 || *number > 10 || *number != std::floor(*number))
        return std::nullopt;
    return QString::number(int(*number));
}

// The words that say yes and no, lower case; x and a tick mark a box as spreadsheets do.
std::optional<QString> asYesNo(QStringView typed)
{
    static const QStringList Yes = {QStringLiteral("yes"),
                                    QStringLiteral("y"),
                                    QStringLiteral("true"),
                                    QStringLiteral("x"),
                                    QStringLiteral("\u2713"),
                                    QStringLiteral("\u2714")};
    static const QStringList No = {QStringLiteral("no"), QStringLiteral("n"), QStringLiteral("false")};
    const QString word = typed.trimmed().toString().toLower();
    if (Yes.contains(word))
        return QStringLiteral("yes");
    if (No.contains(word))
        return QStringLiteral("no");
    return std::nullopt;
}

// Dates as 2024-12-31 (months and days of one digit too), 2024/12/31 or 31.12.2024: the forms
// that say which number is the day.
std::optional<QString> asDate(QStringView typed)
{
    static const QRegularExpression YearFirst(QStringLiteral("^(\\d{4})([-/])(\\d{1,2})\\2(\\d{1,2})$"));
    static const QRegularExpression DayFirst(QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.(\\d{4})$"));
    const QString text = typed.trimmed().toString();
    QDate date;
    if (const QRegularExpressionMatch match = YearFirst.match(text); match.hasMatch())
        date = QDate(match.captured(1).toInt(), match.captured(3).toInt(), match.captured(4).toInt());
    else if (const QRegularExpressionMatch dayFirst = DayFirst.match(text); dayFirst.hasMatch())
        date =
            QDate(dayFirst.captured(3).toInt(), dayFirst.captured(2).toInt(), dayFirst.captured(1).toInt());
    if (!date.isValid() || date.year() < 1)
        return std::nullopt;
    return date.toString(Qt::ISODate);
}

bool anyText(QStringView)
{
    return true;
}

bool isNumberText(QStringView text)
{
    const std::optional<QString> canonical = asNumber(text);
    return canonical && *canonical == text;
}

bool isRatingText(QStringView text)
{
    return text == u"10" || (text.size() == 1 && text[0] >= u'0' && text[0] <= u'9');
}

bool isYesNoText(QStringView text)
{
    return text == u"yes" || text == u"no";
}

// 2024-12-31, a day that exists.
bool isDateText(QStringView text)
{
    if (text.size() != 10 || text[4] != u'-' || text[7] != u'-')
        return false;
    for (const qsizetype digit : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (text[digit] < u'0' || text[digit] > u'9')
            return false;
    }
    const int year = text.first(4).toInt();
    return year >= 1 && QDate(year, text.sliced(5, 2).toInt(), text.sliced(8, 2).toInt()).isValid();
}

double numberOrder(QStringView canonical)
{
    return numberOf(canonical).value_or(0.0);
}

double yesNoOrder(QStringView canonical)
{
    return canonical == u"yes" ? 1.0 : 0.0;
}

double dateOrder(QStringView canonical)
{
    return double(QDate::fromString(canonical.toString(), Qt::ISODate).toJulianDay());
}

// ORDER ExtraKind
constexpr std::array<ExtraKindFacts, ExtraKindCount> Kinds = {{
    {ExtraKind::Text, u"text", u"text", u"a text", true, asText, anyText, nullptr},
    {ExtraKind::LongText, u"longtext", u"long text", u"a text", true, asText, anyText, nullptr},
    {ExtraKind::Number, u"number", u"number", u"a number", false, asNumber, isNumberText, numberOrder},
    {ExtraKind::Rating,
     u"rating",
     u"rating",
     u"a rating from 0 to 10",
     false,
     asRating,
     isRatingText,
     numberOrder},
    {ExtraKind::YesNo, u"yesno", u"yes/no", u"yes or no", false, asYesNo, isYesNoText, yesNoOrder},
    {ExtraKind::Date, u"date", u"date", u"a date such as 2024-12-31", false, asDate, isDateText, dateOrder},
}};

bool isControl(QChar character)
{
    return character.category() == QChar::Other_Control || character == QChar::LineSeparator ||
           character == QChar::ParagraphSeparator;
}

// Characters that turn the direction of the text around them, and U+FEFF, which shows as nothing:
// a name holding one could read as another name, or as nothing at all.
bool isHiddenFormat(QChar character)
{
    const char16_t code = character.unicode();
    return code == 0x061C || code == 0x200E || code == 0x200F || (code >= 0x202A && code <= 0x202E) ||
           (code >= 0x2066 && code <= 0x2069) || code == 0xFEFF;
}

// At most `length` characters of a text, trimmed.
QString leftCharacters(const QString& text, qsizetype length)
{
    return firstCharacters(text, length).toString().trimmed();
}

// The problem with a name that every list keeps to, or the empty text.
QString lastingProblem(QStringView name)
{
    if (name.isEmpty())
        return QStringLiteral("the name is empty");
    if (characterCount(name) > MaxExtraFieldNameLength)
        return QStringLiteral("the name is longer than %1 characters").arg(MaxExtraFieldNameLength);
    if (std::any_of(name.begin(), name.end(), isControl))
        return QStringLiteral("the name holds a line break or another control character");
    if (std::any_of(name.begin(), name.end(), isHiddenFormat))
        return QStringLiteral(
            "the name holds a control of the text's direction or U+FEFF, which do not show");
    if (!name.isValidUtf16())
        return QStringLiteral("the name holds half of a character");
    if (name.front().isSpace() || name.back().isSpace())
        return QStringLiteral("the name begins or ends with a space");
    if (fieldNamed(name))
        return QStringLiteral("\"%1\" is one of the seventeen fields").arg(name);
    return QString();
}

} // namespace

const ExtraKindFacts& kindFacts(ExtraKind kind)
{
    return Kinds[static_cast<size_t>(kind)];
}

std::optional<ExtraKind> kindOfKey(QStringView key)
{
    for (const ExtraKindFacts& facts : Kinds) {
        if (facts.key == key)
            return facts.kind;
    }
    return std::nullopt;
}

std::optional<ExtraKind> kindOfWords(QStringView words)
{
    for (const ExtraKindFacts& facts : Kinds) {
        if (facts.words.compare(words, Qt::CaseInsensitive) == 0)
            return facts.kind;
    }
    return std::nullopt;
}

QString kindWords(ExtraKind kind, bool outOfFive)
{
    return kind == ExtraKind::Rating && outOfFive ? QStringLiteral("rating out of 5")
                                                  : kindFacts(kind).words.toString();
}

QString headerOfExtraField(const ExtraField& field, bool outOfFive)
{
    return QStringLiteral("%1 (%2)").arg(field.name, kindWords(field.kind, outOfFive));
}

std::optional<QString> canonicalValue(ExtraKind kind, QStringView typed)
{
    if (typed.isEmpty() || (!kindFacts(kind).keepsEveryText && typed.trimmed().isEmpty()))
        return QString();
    return kindFacts(kind).canonical(typed);
}

bool isCanonicalValue(ExtraKind kind, QStringView text)
{
    return text.isEmpty() || kindFacts(kind).isCanonical(text);
}

qsizetype extraFieldIndex(const ExtraFields& fields, QStringView name)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString
extraFieldNameProblem(const ExtraFields& fields, QStringView name, AnsweredName answered, qsizetype renamed)
{
    if (QString problem = lastingProblem(name); !problem.isEmpty())
        return problem;
    const qsizetype other = extraFieldIndex(fields, name);
    if (other >= 0 && other != renamed)
        return QStringLiteral("the list has a field called \"%1\" already").arg(fields[other].name);
    if (answered && answered(name))
        return QStringLiteral("templates read list.%1 as something else").arg(name.toString().toLower());
    return QString();
}

QString freeExtraFieldName(const ExtraFields& fields, QStringView wanted, AnsweredName answered)
{
    // On one line, without what does not show, and half a surrogate pair, which a file cannot hold,
    // made U+FFFD.
    QString base;
    for (qsizetype i = 0; i < wanted.size(); ++i) {
        const QChar character = wanted[i];
        const bool paired =
            character.isHighSurrogate() && i + 1 < wanted.size() && wanted[i + 1].isLowSurrogate();
        if (paired)
            base.append(wanted.sliced(i++, 2));
        else if (character.isSurrogate())
            base.append(QChar::ReplacementCharacter);
        else if (!isHiddenFormat(character))
            base.append(isControl(character) ? QChar(u' ') : character);
    }
    base = leftCharacters(base.simplified(), MaxExtraFieldNameLength);
    if (base.isEmpty())
        base = QStringLiteral("Extra field");
    QString name = base;
    for (int number = 2; !extraFieldNameProblem(fields, name, answered).isEmpty(); ++number) {
        const QString suffix = QStringLiteral(" %1").arg(number);
        name = leftCharacters(base, MaxExtraFieldNameLength - suffix.size()) + suffix;
    }
    return name;
}

bool extraFieldHoldsValues(const QList<FilmRecord>& films, qsizetype field)
{
    return std::any_of(films.begin(), films.end(), [field](const FilmRecord& film) {
        return !film.extraValue(field).isEmpty();
    });
}

void removeExtraField(ExtraFields& fields, QList<FilmRecord>& films, qsizetype field)
{
    fields.remove(field);
    for (FilmRecord& film : films) {
        if (field < film.extra.size())
            film.extra.remove(field);
    }
}

QStringList extraFieldValues(const QList<FilmRecord>& films, qsizetype field)
{
    QStringList values;
    for (const FilmRecord& film : films)
        values.append(film.extraValue(field));
    while (!values.isEmpty() && values.constLast().isEmpty())
        values.removeLast();
    return values;
}

void insertExtraField(ExtraFields& fields,
                      QList<FilmRecord>& films,
                      qsizetype position,
                      const ExtraField& field,
                      const QStringList& values)
{
    fields.insert(position, field);
    for (qsizetype i = 0; i < films.size(); ++i) {
        FilmRecord& film = films[i];
        const QString value = values.value(i);
        if (position < film.extra.size())
            film.extra.insert(position, value);
        else
            film.setExtraValue(position, value);
    }
}

void moveExtraField(ExtraFields& fields, QList<FilmRecord>& films, qsizetype from, qsizetype to)
{
    fields.move(from, to);
    for (FilmRecord& film : films) {
        if (film.extra.size() <= qMin(from, to))
            continue; // every value between the two positions is empty
        if (film.extra.size() <= qMax(from, to))
            film.extra.resize(qMax(from, to) + 1);
        film.extra.move(from, to);
    }
}

} // namespace reelkeep
