// The function table of the built-in library: names, accepted argument counts, and how each
// function's arguments are prepared before the call.
#include "functions/Defalt_Functions.h"

#include "functions/ChoiceFunctions.h"
#include "functions/DateFunctions.h"
#include "functions/Format.h"
#include "functions/QueryFunctions.h"
#include "functions/TextFunctions.h"
#include "value/Coercion.h"
#include "value/Compare.h"
#include "value/NumberText.h"
#include "value/TextCase.h"
#include "value/TextForm.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <string_view>

namespace reelkeep {

namespace {

// The Let-coercion of an argument to String. An argument that is a String already is read in
// place, not copied.
class TextArgument
{
public:
    explicit TextArgument(const Value& value)
        : m_text(&value.asString())
    {
        if (value.kind() != Kind::String) {
            m_converted = toStringLet(value);
            m_text = &m_converted;
        }
    }
    TextArgument(const TextArgument&) = delete;
    TextArgument& operator=(const TextArgument&) = delete;

    const QString& text() const { return *m_text; }
    operator const QString&() const { return *m_text; }

private:
    const QString* m_text;
    QString m_converted;
};

// What a function sees of one call: its arguments and the library's sequence and clock.
struct Call
{
    const ArgumentList& arguments;
    RandomSequence& random;
    const std::function<QDateTime()>& clock;

    int count() const { return arguments.count(); }
    const Value& at(int position) const { return arguments.item(position); }
    std::optional<Value> optional(int position) const
    {
        return count() >= position ? std::optional(at(position)) : std::nullopt;
    }
    // Let-coercions of one argument.
    TextArgument textAt(int position) const { return TextArgument(at(position)); }
    std::int32_t longAt(int position) const { return toLong(at(position)); }
    // A Long argument, or `absent` when the call leaves it out.
    std::int32_t longAt(int position, std::int32_t absent) const
    {
        return count() >= position ? toLong(at(position)) : absent;
    }
    std::int16_t integerAt(int position) const { return toInteger(at(position)); }
    double doubleAt(int position) const { return toDouble(at(position)); }
};

using Handler = Value (*)(const Call&);

// One row of the function table: the name, the accepted argument counts and the computation.
struct Row
{
    const char* name;
    std::initializer_list<int> counts;
    Handler compute;
};

// Functions with several typed arguments coerce them one statement at a time, in written order,
// as the language does before a call, so that the first argument that cannot be coerced gives the
// error: the arguments of one C++ call are evaluated in an order of the compiler's choosing.

Value dateDifference(const Call& call)
{
    const TextArgument interval = call.textAt(1);
    const std::int32_t firstDayOfWeek = call.longAt(4, 1);
    const std::int32_t firstWeekOfYear = call.longAt(5, 1);
    return dateDiff(interval, call.at(2), call.at(3), firstDayOfWeek, firstWeekOfYear);
}

Value datePartOf(const Call& call)
{
    const TextArgument interval = call.textAt(1);
    const std::int32_t firstDayOfWeek = call.longAt(3, 1);
    const std::int32_t firstWeekOfYear = call.longAt(4, 1);
    return datePart(interval, call.at(2), firstDayOfWeek, firstWeekOfYear);
}

Value dateOfParts(const Call& call)
{
    const std::int16_t year = call.integerAt(1);
    const std::int16_t month = call.integerAt(2);
    const std::int16_t day = call.integerAt(3);
    return dateSerialDate(year, month, day);
}

Value formatValue(const Call& call)
{
    const std::int32_t firstDayOfWeek = call.longAt(3, 1);
    const std::int32_t firstWeekOfYear = call.longAt(4, 1);
    return Format(call.at(1), call.optional(2), firstDayOfWeek, firstWeekOfYear);
}

Value findTextFromEnd(const Call& call)
{
    const TextArgument text = call.textAt(1);
    const TextArgument find = call.textAt(2);
    const std::int32_t start = call.longAt(3, -1);
    const std::int32_t compare = call.longAt(4, 0);
    return inStrRev(text, find, start, compare);
}

Value replaceText(const Call& call)
{
    const TextArgument text = call.textAt(1);
    const TextArgument find = call.textAt(2);
    const TextArgument replacement = call.textAt(3);
    const std::int32_t start = call.longAt(4, 1);
    const std::int32_t count = call.longAt(5, -1);
    const std::int32_t compare = call.longAt(6, 0);
    return replace(text, find, replacement, start, count, compare);
}

Value compareText(const Call& call)
{
    return strComp(call.at(1), call.at(2), compareModeOf(call.longAt(3, 0)));
}

Value findText(const Call& call)
{
    if (call.count() == 2)
        return inStr(1, call.at(1), call.at(2), 0);
    const std::int32_t start = call.longAt(1);
    return inStr(start, call.at(2), call.at(3), call.longAt(4, 0));
}

// ORDER Functions: the 71 names in the order of the function table.
const std::array<Row, 71> Table{{
    {"abs", {1}, [](const Call& c) { return abs(c.at(1)); }},
    {"asc", {1}, [](const Call& c) { return asc(c.textAt(1)); }},
    {"ascb", {1}, [](const Call& c) { return ascB(c.textAt(1)); }},
    {"ascw", {1}, [](const Call& c) { return ascW(c.textAt(1)); }},
    {"atn", {1}, [](const Call& c) { return atn(c.doubleAt(1)); }},
    {"cbool", {1}, [](const Call& c) { return cbool(c.at(1)); }},
    {"cbyte", {1}, [](const Call& c) { return cbyte(c.at(1)); }},
    {"ccur", {1}, [](const Call& c) { return ccur(c.at(1)); }},
    {"cdate", {1}, [](const Call& c) { return cdate(c.at(1)); }},
    {"cdbl", {1}, [](const Call& c) { return cdbl(c.at(1)); }},
    {"cdec", {1}, [](const Call& c) { return cdec(c.at(1)); }},
    {"chr", {1}, [](const Call& c) { return chr(c.longAt(1)); }},
    {"chrb", {1}, [](const Call& c) { return chrB(toByte(c.at(1))); }},
    {"chrw", {1}, [](const Call& c) { return chrW(c.longAt(1)); }},
    {"cint", {1}, [](const Call& c) { return cint(c.at(1)); }},
    {"clng", {1}, [](const Call& c) { return clng(c.at(1)); }},
    {"cos", {1}, [](const Call& c) { return cos(c.doubleAt(1)); }},
    {"csng", {1}, [](const Call& c) { return csng(c.at(1)); }},
    {"cstr", {1}, [](const Call& c) { return cstr(c.at(1)); }},
    {"cvar", {1}, [](const Call& c) { return cvar(c.at(1)); }},
    {"cverr", {1}, [](const Call& c) { return cvErr(c.at(1)); }},
    {"date", {0}, [](const Call& c) { return dateOf(c.clock()); }},
    {"datediff", {3, 4, 5}, dateDifference},
    {"datepart", {2, 3, 4}, datePartOf},
    {"dateserial", {3}, dateOfParts},
    {"datevalue", {1}, [](const Call& c) { return dateValue(c.textAt(1)); }},
    {"day", {1}, [](const Call& c) { return day(c.at(1)); }},
    {"error", {1}, [](const Call& c) { return error(c.at(1)); }},
    {"exp", {1}, [](const Call& c) { return exp(c.doubleAt(1)); }},
    {"fix", {1}, [](const Call& c) { return fix(c.at(1)); }},
    {"format", {1, 2, 3, 4}, formatValue},
    {"hex", {1}, [](const Call& c) { return hex(c.at(1)); }},
    {"hour", {1}, [](const Call& c) { return hour(c.at(1)); }},
    {"if",
     {2, 3},
     [](const Call& c) { return ifChoice(c.at(1), c.at(2), c.count() >= 3 ? &c.at(3) : nullptr); }},
    {"iif", {3}, [](const Call& c) { return iif(c.at(1), c.at(2), c.at(3)); }},
    {"instr", {2, 3, 4}, findText},
    {"instrrev", {2, 3, 4}, findTextFromEnd},
    {"int", {1}, [](const Call& c) { return intPart(c.at(1)); }},
    {"isarray", {1}, [](const Call& c) { return isArray(c.at(1)); }},
    {"isdate", {1}, [](const Call& c) { return isDate(c.at(1)); }},
    {"isempty", {1}, [](const Call& c) { return isEmpty(c.at(1)); }},
    {"iserror", {1}, [](const Call& c) { return isError(c.at(1)); }},
    {"ismissing", {1}, [](const Call& c) { return isMissing(c.at(1)); }},
    {"isnull", {1}, [](const Call& c) { return isNull(c.at(1)); }},
    {"isnumeric", {1}, [](const Call& c) { return isNumeric(c.at(1)); }},
    {"isobject", {1}, [](const Call& c) { return isObject(c.at(1)); }},
    {"lcase", {1}, [](const Call& c) { return lcase(c.at(1)); }},
    {"left", {2}, [](const Call& c) { return left(c.at(1), c.longAt(2)); }},
    {"len", {1}, [](const Call& c) { return len(c.at(1)); }},
    {"log", {1}, [](const Call& c) { return log(c.doubleAt(1)); }},
    {"mid", {2, 3}, [](const Call& c) { return mid(c.at(1), c.longAt(2), c.optional(3)); }},
    {"minute", {1}, [](const Call& c) { return minute(c.at(1)); }},
    {"month", {1}, [](const Call& c) { return month(c.at(1)); }},
    {"now", {0}, [](const Call& c) { return nowOf(c.clock()); }},
    {"oct", {1}, [](const Call& c) { return oct(c.at(1)); }},
    {"replace", {3, 4, 5, 6}, replaceText},
    {"right", {2}, [](const Call& c) { return right(c.at(1), c.longAt(2)); }},
    {"rnd", {0, 1}, [](const Call& c) { return c.random.rnd(c.optional(1)); }},
    {"second", {1}, [](const Call& c) { return second(c.at(1)); }},
    {"sgn", {1}, [](const Call& c) { return sgn(c.doubleAt(1)); }},
    {"sqr", {1}, [](const Call& c) { return sqr(c.doubleAt(1)); }},
    {"str", {1}, [](const Call& c) { return str(c.at(1)); }},
    {"strcomp", {2, 3}, compareText},
    {"string", {2}, [](const Call& c) { return string(c.longAt(1), c.at(2)); }},
    {"time", {0}, [](const Call& c) { return timeOf(c.clock()); }},
    {"typename", {1}, [](const Call& c) { return typeNameOf(c.at(1)); }},
    {"ucase", {1}, [](const Call& c) { return ucase(c.at(1)); }},
    {"val", {1}, [](const Call& c) { return Value::makeDouble(val(c.textAt(1).text())); }},
    {"vartype", {1}, [](const Call& c) { return varType(c.at(1)); }},
    {"weekday", {1}, [](const Call& c) { return weekday(c.at(1), 1); }},
    {"year", {1}, [](const Call& c) { return year(c.at(1)); }},
}};

const QHash<QString, int>& rowsByName()
{
    static const QHash<QString, int> rows = [] {
        QHash<QString, int> byName;
        for (size_t i = 0; i < Table.size(); ++i)
            byName.insert(QString::fromLatin1(Table[i].name), int(i));
        return byName;
    }();
    return rows;
}

bool accepts(const Row& row, int count)
{
    for (const int accepted : row.counts)
        if (accepted == count)
            return true;
    return false;
}

} // namespace

Defalt_Functions::Defalt_Functions(std::function<QDateTime()> clock)
    : m_clock(std::move(clock))
{}

int Defalt_Functions::Find_Function(const QString& Function_Name) const
{
    // Names match whatever their case: the lower-cased name (as LCase lowers it) exactly.
    return rowsByName().value(Function_Name.toLower(), NotFound);
}

Value Defalt_Functions::Call_Function(int function, const ArgumentList& Parmeters)
{
    const Row& row = Table[size_t(function)];
    if (!accepts(row, Parmeters.count()))
        return Value::makeError(static_cast<int>(ErrorNumber::WrongArgumentCount));
    return row.compute(Call{Parmeters, m_random, m_clock});
}

std::vector<int> Defalt_Functions::acceptedCounts(int function) const
{
    const Row& row = Table[size_t(function)];
    return std::vector<int>(row.counts.begin(), row.counts.end());
}

QStringList Defalt_Functions::functionNames()
{
    QStringList names;
    for (const Row& row : Table)
        names.append(QString::fromLatin1(row.name));
    return names;
}

} // namespace reelkeep
