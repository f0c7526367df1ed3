// The host variables and functions of a page run.
#include "pagegen/PageHost.h"

#include "evaluator/BuiltinLibrary.h"
#include "evaluator/Equation_Evaluater.h"
#include "evaluator/TemplateFindings.h"
#include "pagegen/File_Filter.h"
#include "pagegen/HtmlText.h"
#include "pagegen/PageEncoding.h"
#include "pagegen/PageOrder.h"
#include "value/Coercion.h"
#include "value/DateSerial.h"
#include "value/Operators.h"
#include "value/TextForm.h"

#include <QHash>

#include <iterator>

namespace reelkeep {

namespace {

// What a variable's answer is handed: it reads no arguments.
const ArgumentList NoArguments{};

Value emptyText()
{
    return Value::makeString(QString());
}

// A field name as LCase reads it, case kept: Null names no field, an Error Value raises 13.
QString fieldNameText(const Value& name)
{
    const ResolvedValue resolved(name);
    return resolved->isNull() ? QString() : toStringLet(*resolved);
}

QString lowerFieldName(const Value& name)
{
    return fieldNameText(name).toLower();
}

// A value of an extra field as templates read it: Empty for none, else a value of the runtime's
// kind for the field's kind, so that numbers compare and add as numbers and dates as dates.
Value templateValue(ExtraKind kind, const QString& canonical)
{
    if (canonical.isEmpty())
        return Value();
    switch (kind) {
    case ExtraKind::Text:
    case ExtraKind::LongText:
        return Value::makeString(canonical);
    case ExtraKind::Number:
    case ExtraKind::Rating:
        return Value::makeDouble(canonical.toDouble());
    case ExtraKind::YesNo:
        return Value::makeBoolean(canonical == u"yes");
    case ExtraKind::Date: {
        const double serial = double(daySerial(
            canonical.first(4).toInt(), canonical.sliced(5, 2).toInt(), canonical.sliced(8, 2).toInt()));
        // Dates run from the year 100; one before it stays its text.
        return isValidDateSerial(serial) ? Value::makeDate(serial) : Value::makeString(canonical);
    }
    }
    return Value::makeString(canonical);
}

// The names of the fields a template names, the seventeen (the first six alone when
// `sortKeysOnly`) and then the list's extra fields, for suggesting one for a misspelt name.
QStringList namesOfFields(const ExtraFields& fields, bool sortKeysOnly)
{
    QStringList names;
    for (int i = 0; i <= static_cast<int>(sortKeysOnly ? Field::Date : Field::WebUrl3); ++i)
        names.append(fieldName(fieldAt(i)).toString());
    for (const ExtraField& field : fields)
        names.append(field.name);
    return names;
}

QString noFieldCalled(const QString& name, const QStringList& known)
{
    return QStringLiteral("the list has no field called \"%1\"%2").arg(name, didYouMean(name, known, false));
}

// list.field reads any of the seventeen fields and the extra fields.
QString fieldProblem(const ExtraFields& fields, const QString& name)
{
    if (fieldNamed(name) || extraFieldIndex(fields, name) >= 0)
        return QString();
    return noFieldCalled(name, namesOfFields(fields, false));
}

// list.sort sorts by the first six fields and the extra fields; the empty name, which sorts by
// nothing, is how a template asks for the catalogue's order.
QString sortFieldProblem(const ExtraFields& fields, const QString& name)
{
    if (name.isEmpty() || sortsBy(fields, name.toLower()))
        return QString();
    if (fieldNamed(name))
        return QStringLiteral("it sorts by title, release, type, time, genre, date or an extra field, not by "
                              "\"%1\"; the films keep the catalogue's order")
            .arg(name);
    return noFieldCalled(name, namesOfFields(fields, true));
}

// "4", "1", "none": how many extra fields a list has.
QString extraFieldCount(qsizetype count)
{
    return count == 0 ? QStringLiteral("none") : QString::number(count);
}

// The text the page would write for a value, made safe by `make`: a text that needs nothing keeps
// its characters where they are.
Value madeSafe(const Value& value, QString (*make)(const QString&))
{
    if (value.kind() == Kind::String)
        return Value::makeString(make(value.asString()));
    return Value::makeString(make(pageTextOf(value)));
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

template <typename Reader> inline const FilmRecord& PageHost::filmAtPlace(int place, Reader reader) const
{
    const FilmRecord* film = filmAtPlaceIfAny(place);
    if (!film)
        raise(ErrorNumber::SubscriptOutOfRange, noFilmCause(place, reader()));
    return *film;
}

QString PageHost::noFilmCause(int place, FilmReader reader) const
{
    const QString asker = QStringLiteral("list.") + reader.name.toString();
    const bool atIndex = reader.atIndex;
    const qsizetype placed = m_state.order.size();
    if (m_context.films().isEmpty())
        return QStringLiteral("%1: the catalogue has no films").arg(asker);
    if (placed == 0)
        return QStringLiteral("%1: the page order holds no films yet (list.sort makes it)").arg(asker);
    if (place < 1 || place > placed)
        return QStringLiteral("%1: there is no film %2%3; the page order holds %4")
            .arg(asker)
            .arg(place)
            .arg(atIndex ? QStringLiteral(" at list.index (list.setindex sets it)") : QString())
            .arg(placed);
    return QStringLiteral("%1: film %2 of the page order is no longer in the catalogue (list.sort orders "
                          "the films again)")
        .arg(asker)
        .arg(place);
}

template <Field field>
void PageHost::readCurrentField(PageHost& host, const ArgumentList&, Value& ReturnValue)
{
    const auto reader = [] { return FilmReader{fieldName(field), true}; };
    ReturnValue = Value::makeString(host.filmAtPlace(host.m_state.currentIndex, reader)[field]);
}

void PageHost::readImageAddress(PageHost& host, const ArgumentList&, Value& ReturnValue)
{
    const auto reader = [] { return FilmReader{u"imgaddress", true}; };
    const FilmRecord& film = host.filmAtPlace(host.m_state.currentIndex, reader);
    ReturnValue = Value::makeString(host.m_filter.imageAddress(film[Field::ImgSrc]));
}

// ORDER HostNames: variables in the order they are compared, then the functions.
// clang-format 14 lays a table of this many lambdas out as a staircase; it is kept as written.
// clang-format off
const PageHost::HostName PageHost::HostNames[] = {
    {u"title",
     HostName::Kind::Variable,
     0,
     [](PageHost& host, const ArgumentList&, Value& r) {
         r = Value::makeString(host.m_context.pageTitle());
     }},
    {u"description",
     HostName::Kind::Variable,
     0,
     [](PageHost& host, const ArgumentList&, Value& r) {
         r = Value::makeString(host.m_context.pageDescription());
     }},
    {u"list.count",
     HostName::Kind::Variable,
     0,
     [](PageHost& host, const ArgumentList&, Value& r) {
         r = Value::makeLong(static_cast<std::int32_t>(host.m_state.order.size()));
     }},
    {u"list.index",
     HostName::Kind::Variable,
     0,
     [](PageHost& host, const ArgumentList&, Value& r) {
         r = Value::makeInteger(host.m_state.currentIndex);
     }},
    {u"list.fieldcount", HostName::Kind::Variable, 0, readFieldCount},
    {u"list.title", HostName::Kind::Variable, 0, readCurrentField<Field::Title>},
    {u"list.release", HostName::Kind::Variable, 0, readCurrentField<Field::Release>},
    {u"list.type", HostName::Kind::Variable, 0, readCurrentField<Field::Type>},
    {u"list.time", HostName::Kind::Variable, 0, readCurrentField<Field::Time>},
    {u"list.genre", HostName::Kind::Variable, 0, readCurrentField<Field::Genre>},
    {u"list.date", HostName::Kind::Variable, 0, readCurrentField<Field::Date>},
    {u"list.plot", HostName::Kind::Variable, 0, readCurrentField<Field::Plot>},
    {u"list.comment", HostName::Kind::Variable, 0, readCurrentField<Field::Comment>},
    {u"list.cast", HostName::Kind::Variable, 0, readCurrentField<Field::Cast>},
    {u"list.imgsrc", HostName::Kind::Variable, 0, readCurrentField<Field::ImgSrc>},
    {u"list.imglink", HostName::Kind::Variable, 0, readCurrentField<Field::ImgLink>},
    {u"list.webtext1", HostName::Kind::Variable, 0, readCurrentField<Field::WebText1>},
    {u"list.weburl1", HostName::Kind::Variable, 0, readCurrentField<Field::WebUrl1>},
    {u"list.webtext2", HostName::Kind::Variable, 0, readCurrentField<Field::WebText2>},
    {u"list.weburl2", HostName::Kind::Variable, 0, readCurrentField<Field::WebUrl2>},
    {u"list.webtext3", HostName::Kind::Variable, 0, readCurrentField<Field::WebText3>},
    // The seventeenth field has its name too.
    {u"list.weburl3", HostName::Kind::Variable, 0, readCurrentField<Field::WebUrl3>},
    // The current film's image as the page reaches it, wherever the page is written.
    {u"list.imgaddress", HostName::Kind::Variable, 0, readImageAddress},
    {u"rb",
     HostName::Kind::Variable,
     0,
     [](PageHost&, const ArgumentList&, Value& r) {
         r = Value::makeString(QStringLiteral("]"));
     }},
    {u"hy",
     HostName::Kind::Variable,
     0,
     [](PageHost&, const ArgumentList&, Value& r) {
         r = Value::makeString(QStringLiteral("'"));
     }},
    {u"list.getval",
     HostName::Kind::Function,
     2,
     [](PageHost& host, const ArgumentList& a, Value& r) { r = host.listGetVal(a, r); }},
    {u"list.setindex",
     HostName::Kind::Function,
     1,
     [](PageHost& host, const ArgumentList& a, Value& r) {
         host.m_state.currentIndex = toInteger(a.item(1));
         host.readAhead(host.m_state.currentIndex);
         r = emptyText();
     }},
    {u"list.sort",
     HostName::Kind::Function,
     2,
     [](PageHost& host, const ArgumentList& a, Value& r) {
         r = host.Sort_Page_Order(a.item(1), a.item(2));
     },
     sortFieldProblem},
    {u"list.field", HostName::Kind::Function, 1, readField, fieldProblem},
    {u"list.fieldname", HostName::Kind::Function, 1, readFieldName},
    {u"list.fieldkind", HostName::Kind::Function, 1, readFieldKind},
    {u"infile",
     HostName::Kind::Function,
     2,
     [](PageHost& host, const ArgumentList& a, Value& r) {
         host.include(a);
         r = emptyText();
     }},
    {u"getvar",
     HostName::Kind::Function,
     1,
     [](PageHost& host, const ArgumentList& a, Value& r) {
         r = host.m_filter.variables().Get_Variable(toStringLet(a.item(1)));
     }},
    {u"setvar",
     HostName::Kind::Function,
     2,
     [](PageHost& host, const ArgumentList& a, Value& r) {
         host.m_filter.variables().Set_Variable(toStringLet(a.item(1)), a.item(2));
         r = Value();
     }},
    {u"setprogress",
     HostName::Kind::Function,
     1,
     [](PageHost& host, const ArgumentList& a, Value&) { host.setProgress(a.item(1)); }},
    {u"setlabel",
     HostName::Kind::Function,
     1,
     [](PageHost& host, const ArgumentList& a, Value&) {
         host.m_context.setLabel(toStringLet(a.item(1)));
     }},
    // Reads its argument (the count above) and does nothing else.
    {u"debug.print",
     HostName::Kind::Function,
     1,
     [](PageHost&, const ArgumentList&, Value&) {}},
    // A value's text safe in element text and quoted attribute values.
    {u"html",
     HostName::Kind::Function,
     1,
     [](PageHost&, const ArgumentList& a, Value& r) { r = madeSafe(a.item(1), htmlEscaped); }},
    // An address safe for href and src, or nothing for one a link must not lead to.
    {u"url",
     HostName::Kind::Function,
     1,
     [](PageHost&, const ArgumentList& a, Value& r) { r = madeSafe(a.item(1), linkAddress); }},
};
// clang-format on

const int PageHost::NotHostName = static_cast<int>(std::size(HostNames));

int PageHost::numberOf(QStringView name, HostName::Kind kind)
{
    for (int number = 0; number < NotHostName; ++number) {
        if (HostNames[number].kind == kind && HostNames[number].name == name)
            return number;
    }
    return NotHostName;
}

bool PageHost::answers(const QString& name, bool isFunction)
{
    return numberOf(name.toLower(), isFunction ? HostName::Kind::Function : HostName::Kind::Variable) !=
           NotHostName;
}

std::vector<int> PageHost::acceptedCounts(const QString& Function_Name) const
{
    const int number = numberOf(Function_Name.toLower(), HostName::Kind::Function);
    return number == NotHostName ? std::vector<int>() : std::vector<int>{HostNames[number].arguments};
}

QStringList PageHost::knownNames(bool isFunction) const
{
    QStringList names;
    for (const HostName& known : HostNames)
        if ((known.kind == HostName::Kind::Function) == isFunction)
            names.append(known.name.toString());
    return names;
}

QString PageHost::constantArgumentProblem(const QString& Function_Name, int position, const Value& argument)
{
    const int number = numberOf(Function_Name.toLower(), HostName::Kind::Function);
    if (number == NotHostName || position != 1 || argument.kind() != Kind::String)
        return QString();
    const HostName& function = HostNames[number];
    const QString problem = function.fieldNameProblem
                                ? function.fieldNameProblem(m_context.extraFields(), argument.asString())
                                : QString();
    return problem.isEmpty() ? problem : function.name.toString() + QStringLiteral(": ") + problem;
}

bool PageHost::answersFilmName(QStringView name)
{
    const QString spelled = QStringLiteral("list.") + name.toString().toLower();
    return numberOf(spelled, HostName::Kind::Variable) != NotHostName ||
           numberOf(spelled, HostName::Kind::Function) != NotHostName;
}

int PageHost::variableNumber(const QString& Variable_Name)
{
    return numberOf(Variable_Name.toLower(), HostName::Kind::Variable);
}

void PageHost::uGetVarable(const QString& Variable_Name, Value& ReturnValue)
{
    getNumberedVariable(variableNumber(Variable_Name), ReturnValue);
}

void PageHost::getNumberedVariable(int number, Value& ReturnValue)
{
    if (number != NotHostName)
        HostNames[number].answer(*this, NoArguments, ReturnValue);
}

int PageHost::functionNumber(const QString& Function_Name)
{
    return numberOf(Function_Name.toLower(), HostName::Kind::Function);
}

void PageHost::uSolveFunctions(const QString& Function_Name, ArgumentList& Parmeters, Value& ReturnValue)
{
    solveNumberedFunction(functionNumber(Function_Name), Parmeters, ReturnValue);
}

void PageHost::solveNumberedFunction(int number, ArgumentList& Parmeters, Value& ReturnValue)
{
    if (number == NotHostName)
        return;
    const HostName& name = HostNames[number];
    // The arguments the answer reads are there, or reading them is Subscript out of range.
    if (Parmeters.count() < name.arguments)
        raise(ErrorNumber::SubscriptOutOfRange,
              wrongArgumentCount(name.name.toString(), {name.arguments}, Parmeters.count()));
    name.answer(*this, Parmeters, ReturnValue);
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
    const auto reader = [] { return FilmReader{u"getval", false}; };
    return Value::makeString(filmAtPlace(toInteger(place), reader)[*readable]);
}

// The current film's value of a field named in any case: a standard field's text, an extra field's
// value (templateValue), Empty for a name the list does not have.
void PageHost::readField(PageHost& host, const ArgumentList& arguments, Value& ReturnValue)
{
    const Value& name = arguments.item(1);
    const ExtraFields& fields = host.m_context.extraFields();
    const auto reader = [] { return FilmReader{u"field", true}; };
    // The list's own fields first: list.field(list.fieldname(n)) reads the n-th extra field even
    // when a list file names one like a standard field.
    const QString spelt = fieldNameText(name);
    const qsizetype extra = extraFieldIndex(fields, spelt);
    if (extra < 0) {
        if (const std::optional<Field> standard = fieldNamed(spelt))
            ReturnValue = Value::makeString(host.filmAtPlace(host.m_state.currentIndex, reader)[*standard]);
        return;
    }
    ReturnValue = templateValue(fields[extra].kind,
                                host.filmAtPlace(host.m_state.currentIndex, reader).extraValue(extra));
}

void PageHost::readFieldCount(PageHost& host, const ArgumentList&, Value& ReturnValue)
{
    ReturnValue = Value::makeLong(static_cast<std::int32_t>(host.m_context.extraFields().size()));
}

void PageHost::readFieldName(PageHost& host, const ArgumentList& arguments, Value& ReturnValue)
{
    ReturnValue = Value::makeString(host.extraFieldAtPlace(arguments.item(1), u"fieldname").name);
}

// The kind's key, as list files and the dump name it: "text", "longtext", "number", "rating",
// "yesno", "date".
void PageHost::readFieldKind(PageHost& host, const ArgumentList& arguments, Value& ReturnValue)
{
    const ExtraKind kind = host.extraFieldAtPlace(arguments.item(1), u"fieldkind").kind;
    ReturnValue = Value::makeString(kindFacts(kind).key.toString());
}

const ExtraField& PageHost::extraFieldAtPlace(const Value& place, QStringView reader) const
{
    const int number = toInteger(place);
    const ExtraFields& fields = m_context.extraFields();
    if (number < 1 || number > fields.size())
        raise(ErrorNumber::SubscriptOutOfRange,
              QStringLiteral("list.%1: there is no extra field %2; the list has %3")
                  .arg(reader)
                  .arg(number)
                  .arg(extraFieldCount(fields.size())));
    return fields[number - 1];
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
    m_state.order = sortedPageOrder(films, m_context.extraFields(), fieldName, ascending);
    return emptyText();
}

} // namespace reelkeep
