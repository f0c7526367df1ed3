// The host variables and functions of a page run.
#include "pagegen/PageHost.h"

#include "evaluator/Equation_Evaluater.h"
#include "evaluator/value/Coercion.h"
#include "evaluator/value/Operators.h"
#include "evaluator/value/TextCase.h"
#include "evaluator/value/TextForm.h"
#include "pagegen/File_Filter.h"
#include "pagegen/PageOrder.h"

#include <QHash>

namespace reelkeep {

namespace {

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

const FilmRecord& PageHost::filmAtPlace(int place) const
{
    const QList<FilmRecord>& films = m_context.films();
    if (films.isEmpty() || place < 1 || place > m_state.order.size())
        raise(ErrorNumber::SubscriptOutOfRange);
    const int position = m_state.order.at(place - 1);
    // A page order left over from before films were removed may point past the catalogue.
    if (position < 0 || position >= films.size())
        raise(ErrorNumber::SubscriptOutOfRange);
    return films.at(position);
}

PageHost::VariableName PageHost::variableNamed(const QString& spelling)
{
    // Templates ask for the same few spellings over and over; each is lower-cased once.
    if (const auto known = m_variableNames.constFind(spelling); known != m_variableNames.cend())
        return *known;
    const QString name = spelling.toLower();
    VariableName variable;
    if (name == u"title")
        variable.kind = VariableName::Title;
    else if (name == u"description")
        variable.kind = VariableName::Description;
    else if (name == u"list.count")
        variable.kind = VariableName::Count;
    else if (name == u"list.index")
        variable.kind = VariableName::Index;
    else if (const std::optional<Field> field = listField(name))
        variable = {VariableName::FilmField, *field};
    else if (name == u"rb")
        variable.kind = VariableName::ClosingBracket;
    else if (name == u"hy")
        variable.kind = VariableName::Apostrophe;
    if (m_variableNames.size() < MaxRememberedNames)
        m_variableNames.insert(spelling, variable);
    return variable;
}

void PageHost::uGetVarable(const QString& Variable_Name, Value& ReturnValue)
{
    const VariableName variable = variableNamed(Variable_Name);
    switch (variable.kind) {
    case VariableName::Title:
        ReturnValue = Value::makeString(m_context.pageTitle());
        break;
    case VariableName::Description:
        ReturnValue = Value::makeString(m_context.pageDescription());
        break;
    case VariableName::Count:
        ReturnValue = Value::makeLong(static_cast<std::int32_t>(m_state.order.size()));
        break;
    case VariableName::Index:
        ReturnValue = Value::makeInteger(m_state.currentIndex);
        break;
    case VariableName::FilmField:
        ReturnValue = Value::makeString(filmAtPlace(m_state.currentIndex)[variable.field]);
        break;
    case VariableName::ClosingBracket:
        ReturnValue = Value::makeString(QStringLiteral("]"));
        break;
    case VariableName::Apostrophe:
        ReturnValue = Value::makeString(QStringLiteral("'"));
        break;
    case VariableName::Unknown:
        break;
    }
}

void PageHost::uSolveFunctions(const QString& Function_Name, ArgumentList& Parmeters, Value& ReturnValue)
{
    const QString name = Function_Name.toLower();
    if (name == u"list.getval") {
        ReturnValue = listGetVal(Parmeters, ReturnValue);
    } else if (name == u"list.setindex") {
        m_state.currentIndex = toInteger(Parmeters.item(1));
        ReturnValue = emptyText();
    } else if (name == u"list.sort") {
        ReturnValue = Sort_Page_Order(Parmeters.item(1), Parmeters.item(2));
    } else if (name == u"infile") {
        include(Parmeters);
        ReturnValue = emptyText();
    } else if (name == u"getvar") {
        ReturnValue = m_filter.variables().Get_Variable(toStringLet(Parmeters.item(1)));
    } else if (name == u"setvar") {
        m_filter.variables().Set_Variable(toStringLet(Parmeters.item(1)), Parmeters.item(2));
        ReturnValue = Value();
    } else if (name == u"setprogress") {
        setProgress(Parmeters.item(1));
    } else if (name == u"setlabel") {
        m_context.setLabel(toStringLet(Parmeters.item(1)));
    } else if (name == u"debug.print") {
        Parmeters.item(1);
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
