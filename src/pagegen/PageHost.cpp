// The host variables and functions of a page run.
#include "pagegen/PageHost.h"

#include "evaluator/BuiltinLibrary.h"
#include "evaluator/Equation_Evaluater.h"
#include "evaluator/value/Coercion.h"
#include "evaluator/value/Operators.h"
#include "evaluator/value/TextCase.h"
#include "evaluator/value/TextForm.h"
#include "pagegen/File_Filter.h"
#include "pagegen/PageOrder.h"
#include "pagegen/PreparedTemplate.h"

#include <QHash>

#include <vector>

namespace reelkeep {

namespace {

// The host variables, numbered: a film field's number is FilmField plus the field's place.
enum Variable : int
{
    UnknownVariable,
    Title,
    Description,
    Count,
    Index,
    ClosingBracket,
    Apostrophe,
    FilmField,
};

// The host functions, numbered.
enum Function : int
{
    UnknownFunction,
    ListGetVal,
    ListSetIndex,
    ListSort,
    InFile,
    GetVar,
    SetVar,
    SetProgress,
    SetLabel,
    DebugPrint,
};

// The fields a template reads through "list." names: every field of the film record, the
// seventeenth ("list.weburl3") included.
std::optional<Field> listField(QStringView name)
{
    if (!name.startsWith(u"list."))
        return std::nullopt;
    const QStringView field = name.sliced(5);
    for (int i = 0; i < FieldCount; ++i) {
        if (fieldName(fieldAt(i)) == field)
            return fieldAt(i);
    }
    return std::nullopt;
}

int variableNamed(const QString& name)
{
    if (name == u"title")
        return Title;
    if (name == u"description")
        return Description;
    if (name == u"list.count")
        return Count;
    if (name == u"list.index")
        return Index;
    if (const std::optional<Field> field = listField(name))
        return FilmField + static_cast<int>(*field);
    if (name == u"rb")
        return ClosingBracket;
    if (name == u"hy")
        return Apostrophe;
    return UnknownVariable;
}

int functionNamed(const QString& name)
{
    static const QHash<QString, int> Functions = {
        {QStringLiteral("list.getval"), ListGetVal},
        {QStringLiteral("list.setindex"), ListSetIndex},
        {QStringLiteral("list.sort"), ListSort},
        {QStringLiteral("infile"), InFile},
        {QStringLiteral("getvar"), GetVar},
        {QStringLiteral("setvar"), SetVar},
        {QStringLiteral("setprogress"), SetProgress},
        {QStringLiteral("setlabel"), SetLabel},
        {QStringLiteral("debug.print"), DebugPrint},
    };
    return Functions.value(name, UnknownFunction);
}

Value emptyText()
{
    return Value::makeString(QString());
}

// A field name lower-cased as LCase does: Null names no field, an Error Value raises 13.
QString lowerFieldName(const Value& name)
{
    const Value lowered = lcase(name);
    return lowered.isNull() ? QString() : lowered.asString();
}

} // namespace

PageHost::PageHost(PageContext& context,
                   File_Filter& filter,
                   Equation_Evaluater& evaluator,
                   QString templateFolder)
    : m_context(context)
    , m_filter(filter)
    , m_evaluator(evaluator)
    , m_templateFolder(std::move(templateFolder))
{}

// A film's field is what templates read most: the steps of a read are inline, so that a read is
// one call from the evaluator.
inline const FilmRecord* PageHost::filmAtPlaceIfAny(int place) const
{
    const QList<FilmRecord>& films = m_context.films();
    if (place < 1 || place > m_state.order.size())
        return nullptr;
    const int position = m_state.order.at(place - 1);
    // A page order left over from before films were removed may point past the catalogue, or
    // into none at all.
    return position >= 0 && position < films.size() ? &films.at(position) : nullptr;
}

inline const FilmRecord& PageHost::filmAtPlace(int place) const
{
    const FilmRecord* film = filmAtPlaceIfAny(place);
    if (!film)
        raise(ErrorNumber::SubscriptOutOfRange);
    return *film;
}

int PageHost::variableNumber(const QString& Variable_Name)
{
    return variableNamed(Variable_Name.toLower());
}

void PageHost::uGetVarable(const QString& Variable_Name, Value& ReturnValue)
{
    getNumberedVariable(variableNumber(Variable_Name), ReturnValue);
}

void PageHost::getNumberedVariable(int number, Value& ReturnValue)
{
    // A film's fields are what templates read most.
    if (number >= FilmField) {
        ReturnValue = Value::makeString(filmAtPlace(m_state.currentIndex)[fieldAt(number - FilmField)]);
        return;
    }
    switch (number) {
    case Title:
        ReturnValue = Value::makeString(m_context.pageTitle());
        break;
    case Description:
        ReturnValue = Value::makeString(m_context.pageDescription());
        break;
    case Count:
        ReturnValue = Value::makeLong(static_cast<std::int32_t>(m_state.order.size()));
        break;
    case Index:
        ReturnValue = Value::makeInteger(m_state.currentIndex);
        break;
    case ClosingBracket:
        ReturnValue = Value::makeString(QStringLiteral("]"));
        break;
    case Apostrophe:
        ReturnValue = Value::makeString(QStringLiteral("'"));
        break;
    case UnknownVariable:
        break;
    }
}

int PageHost::functionNumber(const QString& Function_Name)
{
    return functionNamed(Function_Name.toLower());
}

void PageHost::uSolveFunctions(const QString& Function_Name, ArgumentList& Parmeters, Value& ReturnValue)
{
    solveNumberedFunction(functionNumber(Function_Name), Parmeters, ReturnValue);
}

void PageHost::solveNumberedFunction(int number, ArgumentList& Parmeters, Value& ReturnValue)
{
    const ArgumentList& arguments = Parmeters;
    switch (number) {
    case ListGetVal:
        ReturnValue = listGetVal(arguments, ReturnValue);
        break;
    case ListSetIndex:
        m_state.currentIndex = toInteger(arguments.item(1));
        readAhead(m_state.currentIndex);
        ReturnValue = emptyText();
        break;
    case ListSort:
        ReturnValue = Sort_Page_Order(arguments.item(1), arguments.item(2));
        break;
    case InFile:
        include(arguments);
        ReturnValue = emptyText();
        break;
    case GetVar:
        ReturnValue = m_filter.variables().Get_Variable(toStringLet(arguments.item(1)));
        break;
    case SetVar:
        m_filter.variables().Set_Variable(toStringLet(arguments.item(1)), arguments.item(2));
        ReturnValue = Value();
        break;
    case SetProgress:
        setProgress(arguments.item(1));
        break;
    case SetLabel:
        m_context.setLabel(toStringLet(arguments.item(1)));
        break;
    case DebugPrint:
        arguments.item(1);
        break;
    }
}

// Templates mostly walk the page order one place after another, and the films of a sorted order
// lie all over memory: the next film's texts, and the record of the one after it, are asked for
// now, so that they are at hand when the template reads them.
void PageHost::readAhead(int place) const
{
    if (const FilmRecord* afterNext = filmAtPlaceIfAny(place + 2)) {
        const auto* bytes = reinterpret_cast<const char*>(afterNext);
        for (size_t offset = 0; offset < sizeof(FilmRecord); offset += 64)
            __builtin_prefetch(bytes + offset);
    }
    if (const FilmRecord* next = filmAtPlaceIfAny(place + 1)) {
        // Reading a text counts one more user of it, which writes to it as well.
        for (const QString& field : next->fields)
            __builtin_prefetch(field.constData(), 1);
    }
}

Value PageHost::listGetVal(const ArgumentList& arguments, const Value& untouched) const
{
    // Only a place greater than 0 (by the ">" of Values) reads a film.
    const Value place = arguments.item(2);
    const Value greaterThanZero = greater(place, Value::makeInteger(0));
    if (greaterThanZero.kind() != Kind::Boolean || !greaterThanZero.asBoolean())
        return emptyText();
    const QString field = lowerFieldName(arguments.item(1));
    static const QHash<QString, Field> Readable = {
        {QStringLiteral("title"), Field::Title},
        {QStringLiteral("genre"), Field::Genre},
        {QStringLiteral("type"), Field::Type},
    };
    const auto readable = Readable.constFind(field);
    if (readable == Readable.cend())
        return untouched;
    return Value::makeString(filmAtPlace(toInteger(place))[*readable]);
}

void PageHost::setProgress(const Value& position)
{
    const float value = toSingle(position);
    // The progress bar takes positions from 0 to 100 only.
    if (!(value >= 0.0f && value <= 100.0f))
        raise(ErrorNumber::InvalidPropertyValue);
    m_context.setProgress(value);
}

void PageHost::include(const ArgumentList& arguments)
{
    // The file's path in the template folder, joined as "&" joins texts (Null is the empty text).
    const Value path = concatenate(Value::makeString(m_templateFolder + QLatin1Char('/')), arguments.item(1));
    m_filter.Include_File(path, arguments.item(2), m_evaluator);
}

Value PageHost::Sort_Page_Order(const Value& Field_Name, const Value& Ascending)
{
    const QList<FilmRecord>& films = m_context.films();
    if (films.isEmpty())
        return emptyText();
    m_state.order.clear();
    const bool ascending = Ascending.isNull() ? false : toBoolean(Ascending);
    // The field name is lower-cased only when there are two films to compare.
    const QString fieldName = films.size() < 2 ? QString() : lowerFieldName(Field_Name);
    m_state.order = sortedPageOrder(films, fieldName, ascending);
    return emptyText();
}

} // namespace reelkeep
