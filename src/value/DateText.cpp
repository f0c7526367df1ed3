// Formatting and parsing of date and time texts with the locale's conventions.
#include "value/DateText.h"

#include "value/DateSerial.h"
#include "value/Locale.h"
#include "value/RuntimeError.h"

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

// The AM and PM texts, or their first letters alone, in any letter case.
Meridiem meridiemOf(QStringView word)
{
    const auto matches = [word](const QString& text) {
        return word.compare(text, Qt::CaseInsensitive) == 0 ||
               word.compare(QStringView(text).left(1), Qt::CaseInsensitive) == 0;
    };
    if (matches(locale().amText))
        return Meridiem::Am;
    if (matches(locale().pmText))
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

// Which of three numbers is the year, the month and the day.
struct DateOrderPositions
{
    int year;
    int month;
    int day;
};

// The orders in which three numbers are tried: the locale's own first, then year first, then
// day first.
std::vector<DateOrderPositions> threeNumberOrders()
{
    using Order = LocaleConventions::DateOrder;
    const std::pair<Order, DateOrderPositions> Orders[] = {
        {Order::YearMonthDay, {0, 1, 2}},
        {Order::DayMonthYear, {2, 1, 0}},
        {Order::MonthDayYear, {2, 0, 1}},
    };
    std::vector<DateOrderPositions> orders;
    for (const auto& [order, positions] : Orders) {
        if (order == locale().dateOrder)
            orders.insert(orders.begin(), positions);
        else
            orders.push_back(positions);
    }
    return orders;
}

// Reads a date text as a run of parts: numbers and a month name for the date, and one time of
// day before or after them. Numbers joined by ":" or "." are a time ("2.5" is 2:05 AM), and so is
// a number with an AM or PM marker.
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
        const double time = m_time ? timeFraction(m_time->hour, m_time->minute, m_time->second) : 0.0;
        if (m_elements.empty())
            return m_time ? std::optional(time) : std::nullopt;
        const std::optional<CivilDate> date = resolveDate();
        if (!date)
            return std::nullopt;
        return joinSerial(daySerial(date->year, date->month, date->day), time);
    }

private:
    const Token* peek(std::size_t offset = 0) const
    {
        return m_at + offset < m_tokens.size() ? &m_tokens[m_at + offset] : nullptr;
    }

    static bool isSeparator(const Token* token, QStringView characters)
    {
        return token && token->type == Token::Separator && characters.contains(token->text[0]);
    }

    bool step()
    {
        switch (m_tokens[m_at].type) {
        case Token::Number:
            return readNumber();
        case Token::Word:
            return readMonthName();
        case Token::Separator:
            return readDateSeparator();
        }
        return false;
    }

    bool readNumber()
    {
        const Token& first = m_tokens[m_at++];
        std::vector<int> parts{first.number};
        while (isSeparator(peek(), u":.")) {
            if (!peek(1) || peek(1)->type != Token::Number)
                return false;
            parts.push_back(peek(1)->number);
            m_at += 2;
        }
        Meridiem meridiem = Meridiem::None;
        if (peek() && peek()->type == Token::Word)
            meridiem = meridiemOf(peek()->text);
        if (meridiem != Meridiem::None)
            ++m_at;
        if (parts.size() == 1 && meridiem == Meridiem::None)
            return addElement({first.number, int(first.text.size()), false});
        return readTime(parts, meridiem);
    }

    // An AM or PM marker applies to hours up to 12 and is ignored after them ("13:00 AM").
    bool readTime(const std::vector<int>& parts, Meridiem meridiem)
    {
        if (m_time || parts.size() > 3)
            return false;
        ParsedTime time{parts[0], parts.size() > 1 ? parts[1] : 0, parts.size() > 2 ? parts[2] : 0};
        if (meridiem != Meridiem::None && time.hour <= 12)
            time.hour = time.hour % 12 + (meridiem == Meridiem::Pm ? 12 : 0);
        if (time.hour > 23 || time.minute > 59 || time.second > 59)
            return false;
        m_time = time;
        m_elementsBeforeTime = m_elements.size();
        return true;
    }

    bool readMonthName()
    {
        const int month = monthOfName(m_tokens[m_at++].text);
        if (month == 0 || m_sawMonthName)
            return false;
        m_sawMonthName = true;
        if (isSeparator(peek(), u".")) // "Jan. 2, 2020"
            ++m_at;
        return addElement({month, 0, true});
    }

    // "/", "-" and "," stand between two parts of a text, never at its start or end.
    bool readDateSeparator()
    {
        const bool afterPart = !m_elements.empty() || m_time;
        const bool beforePart = peek(1) && peek(1)->type != Token::Separator;
        return afterPart && beforePart && isSeparator(&m_tokens[m_at++], u"/-,");
    }

    // The date's parts stay together: a time between two of them makes the text no date.
    bool addElement(const DateElement& element)
    {
        if (m_time && m_elementsBeforeTime > 0)
            return false;
        m_elements.push_back(element);
        return m_elements.size() <= 3;
    }

    std::optional<int> yearOf(const DateElement& element) const
    {
        const int value = element.digits <= 2 ? fullYear(element.number) : element.number;
        if (value < 100 || value > 9999)
            return std::nullopt;
        return value;
    }

    // One way of reading the date: its year (none for the current year), month and day.
    struct Candidate
    {
        const DateElement* year;
        int month;
        int day;
    };

    // The first candidate that is a real date.
    std::optional<CivilDate> firstDate(const std::vector<Candidate>& candidates) const
    {
        for (const Candidate& candidate : candidates) {
            if (candidate.month < 1 || candidate.month > 12 || candidate.day < 1 || candidate.day > 31)
                continue;
            const std::optional<int> y = candidate.year ? yearOf(*candidate.year) : currentYear();
            if (y && candidate.day <= daysInMonth(*y, candidate.month))
                return CivilDate{*y, candidate.month, candidate.day};
        }
        return std::nullopt;
    }

    int currentYear() const
    {
        if (!m_year)
            m_year = m_currentYear();
        return *m_year;
    }

    // With a month name the number is the day, else the year; two numbers are month and day in
    // the locale's order, else year and month ("30 2" is February 1930); three are tried in the
    // locale's order, then year first, then day first.
    std::optional<CivilDate> resolveDate() const
    {
        std::vector<DateElement> numbers;
        int name = 0;
        for (const DateElement& element : m_elements) {
            if (element.isMonthName)
                name = element.number;
            else
                numbers.push_back(element);
        }
        if (name != 0 && numbers.size() == 1)
            return firstDate({{nullptr, name, numbers[0].number}, {&numbers[0], name, 1}});
        if (name != 0 && numbers.size() == 2)
            return firstDate(
                {{&numbers[1], name, numbers[0].number}, {&numbers[0], name, numbers[1].number}});
        if (name == 0 && numbers.size() == 2) {
            const bool dayFirst = locale().dateOrder == LocaleConventions::DateOrder::DayMonthYear;
            const int month = numbers[dayFirst ? 1 : 0].number;
            const int day = numbers[dayFirst ? 0 : 1].number;
            return firstDate({{nullptr, month, day},
                              {nullptr, day, month},
                              {&numbers[0], numbers[1].number, 1},
                              {&numbers[1], numbers[0].number, 1}});
        }
        if (name == 0 && numbers.size() == 3) {
            std::vector<Candidate> candidates;
            for (const DateOrderPositions& order : threeNumberOrders())
                candidates.push_back(
                    {&numbers[order.year], numbers[order.month].number, numbers[order.day].number});
            return firstDate(candidates);
        }
        return std::nullopt; // a lone number or a lone month name is no date
    }

    const std::vector<Token>& m_tokens;
    const std::function<int()>& m_currentYear;
    std::size_t m_at = 0;
    std::vector<DateElement> m_elements;
    std::size_t m_elementsBeforeTime = 0;
    bool m_sawMonthName = false;
    std::optional<ParsedTime> m_time;
    mutable std::optional<int> m_year; // the current year, once read
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
