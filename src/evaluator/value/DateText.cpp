// Formatting and parsing of date and time texts with the locale's conventions.
#include "evaluator/value/DateText.h"

#include "evaluator/value/DateSerial.h"
#include "evaluator/value/Locale.h"
#include "evaluator/value/RuntimeError.h"

#include <QDate>

#include <vector>

namespace reelkeep {
namespace {

std::function<int()>& currentYearSource()
{
    static std::function<int()> source = [] { return QDate::currentDate().year(); };
    return source;
}

QString twoDigits(int number)
{
    return QString::number(number).rightJustified(2, u'0');
}

QString dateOnly(const DateParts& parts)
{
    const LocaleConventions& conventions = locale();
    return QString::number(parts.date.month) + conventions.dateSeparator + QString::number(parts.date.day) +
           conventions.dateSeparator + QString::number(parts.date.year);
}

QString timeOnly(const DateParts& parts)
{
    const LocaleConventions& conventions = locale();
    const int hour = parts.time.hour;
    const int shown = conventions.twelveHourClock ? (hour % 12 == 0 ? 12 : hour % 12) : hour;
    QString text = QString::number(shown) + conventions.timeSeparator + twoDigits(parts.time.minute) +
                   conventions.timeSeparator + twoDigits(parts.time.second);
    if (conventions.twelveHourClock)
        text += u' ' + (hour < 12 ? conventions.amText : conventions.pmText);
    return text;
}

// --- parsing ---

struct Token
{
    enum Type
    {
        Number,
        Word,
        Separator,
    } type;
    QStringView text;
    int number = 0;
};

std::optional<std::vector<Token>> tokenize(QStringView text)
{
    std::vector<Token> tokens;
    qsizetype at = 0;
    while (at < text.size()) {
        const QChar c = text[at];
        qsizetype end = at + 1;
        if (c.isSpace()) {
            ++at;
            continue;
        }
        if (c >= u'0' && c <= u'9') {
            while (end < text.size() && text[end] >= u'0' && text[end] <= u'9')
                ++end;
            if (end - at > 9)
                return std::nullopt;
            tokens.push_back({Token::Number, text.mid(at, end - at), text.mid(at, end - at).toInt()});
        } else if (c.isLetter()) {
            while (end < text.size() && text[end].isLetter())
                ++end;
            tokens.push_back({Token::Word, text.mid(at, end - at)});
        } else if (c == u'/' || c == u'-' || c == u',' || c == u'.' || c == u':') {
            tokens.push_back({Token::Separator, text.mid(at, 1)});
        } else {
            return std::nullopt;
        }
        at = end;
    }
    return tokens;
}

// Month 1-12 for a full name or its three-letter abbreviation, any letter case; 0 otherwise.
int monthOfName(QStringView word)
{
    const LocaleConventions& conventions = locale();
    for (int month = 0; month < 12; ++month)
        if (word.compare(conventions.monthNames[month], Qt::CaseInsensitive) == 0 ||
            word.compare(conventions.monthAbbreviations[month], Qt::CaseInsensitive) == 0)
            return month + 1;
    return 0;
}

enum class Meridiem
{
    None,
    Am,
    Pm,
};

Meridiem meridiemOf(QStringView word)
{
    if (word.compare(locale().amText, Qt::CaseInsensitive) == 0)
        return Meridiem::Am;
    if (word.compare(locale().pmText, Qt::CaseInsensitive) == 0)
        return Meridiem::Pm;
    return Meridiem::None;
}

struct DateElement
{
    int number = 0;
    int digits = 0;
    bool isMonthName = false;
};

struct ParsedTime
{
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class DateTextParser
{
public:
    // The current year is asked for only when the text has no year, since reading the clock
    // costs more than the whole parse.
    DateTextParser(const std::vector<Token>& tokens, const std::function<int()>& currentYear)
        : m_tokens(tokens)
        , m_currentYear(currentYear)
    {}

    std::optional<double> parse()
    {
        while (m_at < m_tokens.size())
            if (!step())
                return std::nullopt;
        if (m_elements.empty()) {
            if (!m_time)
                return std::nullopt;
            return timeFraction(m_time->hour, m_time->minute, m_time->second);
        }
        const std::optional<CivilDate> date = resolveDate();
        if (!date)
            return std::nullopt;
        const std::int64_t day = daySerial(date->year, date->month, date->day);
        const double time = m_time ? timeFraction(m_time->hour, m_time->minute, m_time->second) : 0.0;
        return joinSerial(day, time);
    }

private:
    const Token* peek(std::size_t offset = 0) const
    {
        return m_at + offset < m_tokens.size() ? &m_tokens[m_at + offset] : nullptr;
    }

    bool isSeparator(const Token* token, QChar c) const
    {
        return token && token->type == Token::Separator && token->text[0] == c;
    }

    bool step()
    {
        const Token& token = m_tokens[m_at];
        if (token.type == Token::Number) {
            const Token* next = peek(1);
            if (isSeparator(next, u':') ||
                (next && next->type == Token::Word && meridiemOf(next->text) != Meridiem::None))
                return readTime();
            m_elements.push_back({token.number, int(token.text.size()), false});
            ++m_at;
            return m_elements.size() <= 3;
        }
        if (token.type == Token::Word) {
            const int month = monthOfName(token.text);
            if (month == 0 || m_sawMonthName)
                return false;
            m_sawMonthName = true;
            m_elements.push_back({month, 0, true});
            ++m_at;
            if (isSeparator(peek(), u'.')) // "Jan. 2, 2020"
                ++m_at;
            return m_elements.size() <= 3;
        }
        // Separators between date parts; "." only after a month name, so that "2.5" is no date.
        const QChar c = token.text[0];
        ++m_at;
        return c == u'/' || c == u'-' || c == u',';
    }

    bool readTime()
    {
        if (m_time)
            return false;
        ParsedTime time;
        time.hour = m_tokens[m_at++].number;
        if (isSeparator(peek(), u':')) {
            ++m_at;
            if (!peek() || peek()->type != Token::Number)
                return false;
            time.minute = m_tokens[m_at++].number;
            if (isSeparator(peek(), u':')) {
                ++m_at;
                if (!peek() || peek()->type != Token::Number)
                    return false;
                time.second = m_tokens[m_at++].number;
            }
        }
        Meridiem meridiem = Meridiem::None;
        if (peek() && peek()->type == Token::Word)
            meridiem = meridiemOf(peek()->text);
        if (meridiem != Meridiem::None) {
            ++m_at;
            if (time.hour > 12)
                return false;
            time.hour = time.hour % 12 + (meridiem == Meridiem::Pm ? 12 : 0);
        }
        if (time.hour > 23 || time.minute > 59 || time.second > 59)
            return false;
        m_time = time;
        return true;
    }

    std::optional<int> year(const DateElement& element) const
    {
        int value = element.number;
        if (element.digits <= 2)
            value += value < locale().twoDigitYearPivot ? 2000 : 1900;
        if (value < 100 || value > 9999)
            return std::nullopt;
        return value;
    }

    static bool looksLikeYear(const DateElement& element)
    {
        return element.digits >= 3 || element.number > 31;
    }

    std::optional<CivilDate> resolveDate() const
    {
        std::vector<DateElement> numbers;
        int monthName = 0;
        for (const DateElement& element : m_elements) {
            if (element.isMonthName)
                monthName = element.number;
            else
                numbers.push_back(element);
        }
        std::optional<int> y;
        int month = 0;
        int day = 1;
        if (monthName != 0) {
            month = monthName;
            if (numbers.empty())
                return std::nullopt;
            if (numbers.size() == 1) {
                if (looksLikeYear(numbers[0]))
                    y = year(numbers[0]);
                else {
                    day = numbers[0].number;
                    y = m_currentYear();
                }
            } else {
                const bool firstIsYear = looksLikeYear(numbers[0]) && !looksLikeYear(numbers[1]);
                day = numbers[firstIsYear ? 1 : 0].number;
                y = year(numbers[firstIsYear ? 0 : 1]);
            }
        } else if (numbers.size() == 3) {
            if (looksLikeYear(numbers[0])) {
                y = year(numbers[0]);
                month = numbers[1].number;
                day = numbers[2].number;
            } else {
                month = numbers[0].number;
                day = numbers[1].number;
                y = year(numbers[2]);
            }
        } else if (numbers.size() == 2) {
            if (looksLikeYear(numbers[0])) {
                y = year(numbers[0]);
                month = numbers[1].number;
            } else if (looksLikeYear(numbers[1])) {
                month = numbers[0].number;
                y = year(numbers[1]);
            } else {
                month = numbers[0].number;
                day = numbers[1].number;
                y = m_currentYear();
            }
        } else {
            return std::nullopt; // a lone number is not a date
        }
        // A month beyond 12 with a day that could be a month: the two were given day first.
        if (month > 12 && day <= 12 && !looksLikeYear(DateElement{month, 2, false}))
            std::swap(month, day);
        if (!y || month < 1 || month > 12 || day < 1 || day > daysInMonth(*y, month))
            return std::nullopt;
        return CivilDate{*y, month, day};
    }

    const std::vector<Token>& m_tokens;
    const std::function<int()>& m_currentYear;
    std::size_t m_at = 0;
    std::vector<DateElement> m_elements;
    bool m_sawMonthName = false;
    std::optional<ParsedTime> m_time;
};

} // namespace

QString dateText(double serial)
{
    if (!isValidDateSerial(serial))
        raise(ErrorNumber::Overflow);
    const DateParts parts = splitSerial(serial);
    const bool noTime = parts.time.hour == 0 && parts.time.minute == 0 && parts.time.second == 0;
    if (parts.day == 0)
        return timeOnly(parts);
    if (noTime)
        return dateOnly(parts);
    return dateOnly(parts) + u' ' + timeOnly(parts);
}

QString shortDateText(double serial)
{
    if (!isValidDateSerial(serial))
        raise(ErrorNumber::Overflow);
    return dateOnly(splitSerial(serial));
}

QString longTimeText(double serial)
{
    if (!isValidDateSerial(serial))
        raise(ErrorNumber::Overflow);
    return timeOnly(splitSerial(serial));
}

namespace {

std::optional<double> parseDateText(QStringView text, const std::function<int()>& currentYear)
{
    const std::optional<std::vector<Token>> tokens = tokenize(text);
    if (!tokens || tokens->empty())
        return std::nullopt;
    return DateTextParser(*tokens, currentYear).parse();
}

} // namespace

std::optional<double> parseDateText(QStringView text, int currentYear)
{
    const std::function<int()> year = [currentYear] { return currentYear; };
    return parseDateText(text, year);
}

std::optional<double> parseDateText(QStringView text)
{
    return parseDateText(text, currentYearSource());
}

void setCurrentYearSource(std::function<int()> source)
{
    currentYearSource() = std::move(source);
}

} // namespace reelkeep
