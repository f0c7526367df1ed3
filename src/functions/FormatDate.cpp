// User-defined date/time formats: day, weekday, week, month, quarter, year, hour, minute and
// second tokens, the AM/PM markers, the locale's short date, long date and long time, and literals.
#include "functions/Calendar.h"
#include "functions/FormatParts.h"
#include "value/DateSerial.h"
#include "value/DateText.h"
#include "value/Locale.h"
#include "value/RuntimeError.h"

namespace reelkeep::detail {
namespace {

enum class DateField
{
    Literal,
    Day,            // d dd ddd dddd ddddd dddddd (width 1 to 6)
    Weekday,        // w
    Week,           // ww
    Month,          // m mm mmm mmmm
    Minute,         // n nn, and m mm right after an hour
    Quarter,        // q
    DayOfYear,      // y
    Year,           // yy (width 2) and yyyy (width 4)
    Hour,           // h hh
    Second,         // s ss
    LongTime,       // ttttt
    General,        // c
    Meridiem,       // AM/PM am/pm A/P a/p: the two texts as written
    LocaleMeridiem, // AMPM: the locale's AM and PM texts
};

struct DateToken
{
    DateField field;
    int width = 1;
    QString text;    // Literal; Meridiem: the morning text
    QString evening; // Meridiem: the afternoon text
};

// The length of the run of the same format letter (in any case) that starts at `at`, at most `limit`.
int runLength(const std::vector<FormatPiece>& pieces, std::size_t at, int limit)
{
    const QChar letter = pieces[at].character.toLower();
    int length = 0;
    while (length < limit && at + static_cast<std::size_t>(length) < pieces.size()) {
        const FormatPiece& piece = pieces[at + static_cast<std::size_t>(length)];
        if (piece.isLiteral || piece.character.toLower() != letter)
            break;
        ++length;
    }
    return length;
}

// The text of the pieces from `at` when they spell `word` in any letter case, as written.
std::optional<QString> spelled(const std::vector<FormatPiece>& pieces, std::size_t at, QStringView word)
{
    if (at + static_cast<std::size_t>(word.size()) > pieces.size())
        return std::nullopt;
    QString written;
    for (qsizetype i = 0; i < word.size(); ++i) {
        const FormatPiece& piece = pieces[at + static_cast<std::size_t>(i)];
        if (piece.isLiteral || piece.character.toLower() != word[i])
            return std::nullopt;
        written += piece.character;
    }
    return written;
}

// Reads an AM/PM marker, or the weekday name "aaaa", at `at`; returns the number of pieces it
// takes, 0 if there is none.
int readMeridiem(const std::vector<FormatPiece>& pieces, std::size_t at, std::vector<DateToken>& tokens)
{
    if (spelled(pieces, at, u"aaaa")) {
        tokens.push_back({DateField::Day, 4, QString(), QString()});
        return 4;
    }
    if (spelled(pieces, at, u"ampm")) {
        tokens.push_back({DateField::LocaleMeridiem, 1, QString(), QString()});
        return 4;
    }
    for (const QStringView marker : {u"am/pm", u"a/p"}) {
        if (const std::optional<QString> written = spelled(pieces, at, marker)) {
            const qsizetype slash = written->indexOf(u'/');
            tokens.push_back({DateField::Meridiem, 1, written->left(slash), written->mid(slash + 1)});
            return static_cast<int>(marker.size());
        }
    }
    return 0;
}

// The field of a run of letters and how many of them it takes.
std::pair<DateField, int> letterField(QChar letter, int run)
{
    switch (letter.unicode()) {
    case u'd':
        return {DateField::Day, std::min(run, 6)};
    case u'w':
        return run >= 2 ? std::pair{DateField::Week, 2} : std::pair{DateField::Weekday, 1};
    case u'm':
        return {DateField::Month, std::min(run, 4)};
    case u'q':
        return {DateField::Quarter, 1};
    case u'y':
        if (run >= 4)
            return {DateField::Year, 4};
        return run >= 2 ? std::pair{DateField::Year, 2} : std::pair{DateField::DayOfYear, 1};
    case u'h':
        return {DateField::Hour, std::min(run, 2)};
    case u'n':
        return {DateField::Minute, std::min(run, 2)};
    case u's':
        return {DateField::Second, std::min(run, 2)};
    case u'c':
        return {DateField::General, 1};
    case u't':
        if (run >= 5)
            return {DateField::LongTime, 5};
        break;
    default:
        break;
    }
    return {DateField::Literal, 1};
}

void addLiteral(std::vector<DateToken>& tokens, const QString& text)
{
    if (!tokens.empty() && tokens.back().field == DateField::Literal)
        tokens.back().text += text;
    else
        tokens.push_back({DateField::Literal, 1, text, QString()});
}

std::vector<DateToken> tokenize(QStringView section)
{
    const LocaleConventions& conventions = locale();
    const std::vector<FormatPiece> pieces = formatPieces(section);
    std::vector<DateToken> tokens;
    for (std::size_t i = 0; i < pieces.size();) {
        const FormatPiece& piece = pieces[i];
        if (piece.isLiteral) {
            addLiteral(tokens, piece.literal);
            ++i;
            continue;
        }
        if (const int taken = readMeridiem(pieces, i, tokens)) {
            i += static_cast<std::size_t>(taken);
            continue;
        }
        const auto [field, width] = letterField(piece.character.toLower(), runLength(pieces, i, 6));
        if (field != DateField::Literal)
            tokens.push_back({field, width, QString(), QString()});
        else if (piece.character == u':')
            addLiteral(tokens, QString(conventions.timeSeparator));
        else if (piece.character == u'/')
            addLiteral(tokens, QString(conventions.dateSeparator));
        else
            addLiteral(tokens, QString(piece.character));
        i += static_cast<std::size_t>(width);
    }
    return tokens;
}

// "m" and "mm" mean minutes only right after an hour, literals between them aside; before a
// second they are still the month.
void resolveMinutes(std::vector<DateToken>& tokens)
{
    const DateToken* previous = nullptr; // the last token that is not a literal
    for (DateToken& token : tokens) {
        if (token.field == DateField::Literal)
            continue;
        if (token.field == DateField::Month && token.width <= 2 && previous &&
            previous->field == DateField::Hour)
            token.field = DateField::Minute;
        previous = &token;
    }
}

QString number(int value, int width)
{
    return width >= 2 ? QString::number(value).rightJustified(2, u'0') : QString::number(value);
}

struct DateContext
{
    double serial;
    DateParts parts;
    int firstDayOfWeek;
    int firstWeekOfYear;
    bool twelveHour;
};

QString dayText(const DateContext& context, int width)
{
    const LocaleConventions& conventions = locale();
    const int weekday = weekdayOf(context.parts.day);
    switch (width) {
    case 1:
    case 2:
        return number(context.parts.date.day, width);
    case 3:
        return conventions.dayAbbreviations[static_cast<std::size_t>(weekday - 1)];
    case 4:
        return conventions.dayNames[static_cast<std::size_t>(weekday - 1)];
    case 5:
        return shortDateText(context.serial);
    default:
        return formatDateSection(
            conventions.longDateFormat, context.serial, context.firstDayOfWeek, context.firstWeekOfYear);
    }
}

QString monthText(int month, int width)
{
    const LocaleConventions& conventions = locale();
    if (width == 3)
        return conventions.monthAbbreviations[static_cast<std::size_t>(month - 1)];
    if (width == 4)
        return conventions.monthNames[static_cast<std::size_t>(month - 1)];
    return number(month, width);
}

QString hourText(const DateContext& context, int width)
{
    int hour = context.parts.time.hour;
    if (context.twelveHour)
        hour = hour % 12 == 0 ? 12 : hour % 12;
    return number(hour, width);
}

QString tokenText(const DateToken& token, const DateContext& context)
{
    const DateParts& parts = context.parts;
    const bool morning = parts.time.hour < 12;
    switch (token.field) {
    case DateField::Literal:
        return token.text;
    case DateField::Day:
        return dayText(context, token.width);
    case DateField::Weekday:
        return QString::number(weekdayFrom(parts.day, context.firstDayOfWeek));
    case DateField::Week:
        return QString::number(weekOfYear(parts.day, context.firstDayOfWeek, context.firstWeekOfYear));
    case DateField::Month:
        return monthText(parts.date.month, token.width);
    case DateField::Minute:
        return number(parts.time.minute, token.width);
    case DateField::Quarter:
        return QString::number(quarterOf(parts.date.month));
    case DateField::DayOfYear:
        return QString::number(dayOfYear(parts.day));
    case DateField::Year:
        return token.width == 2 ? number(parts.date.year % 100, 2) : QString::number(parts.date.year);
    case DateField::Hour:
        return hourText(context, token.width);
    case DateField::Second:
        return number(parts.time.second, token.width);
    case DateField::LongTime:
        return longTimeText(context.serial);
    case DateField::General:
        return dateText(context.serial);
    case DateField::Meridiem:
        return morning ? token.text : token.evening;
    case DateField::LocaleMeridiem:
        return morning ? locale().amText : locale().pmText;
    }
    return QString();
}

} // namespace

QString formatDateSection(QStringView section, double serial, int firstDayOfWeek, int firstWeekOfYear)
{
    if (!isValidDateSerial(serial))
        raise(ErrorNumber::Overflow);
    std::vector<DateToken> tokens = tokenize(section);
    resolveMinutes(tokens);
    // Any AM/PM marker puts the hours on the 12-hour clock.
    const bool twelveHour = std::any_of(tokens.begin(), tokens.end(), [](const DateToken& token) {
        return token.field == DateField::Meridiem || token.field == DateField::LocaleMeridiem;
    });
    const DateContext context{serial, splitSerial(serial), firstDayOfWeek, firstWeekOfYear, twelveHour};
    QString out;
    for (const DateToken& token : tokens)
        out += tokenText(token, context);
    return out;
}

} // namespace reelkeep::detail
