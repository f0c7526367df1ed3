// The names of the fields in other programs' exports and in spreadsheets, and the choice of a
// field for each column.
#include "storage/ImportColumns.h"

#include <QHash>

#include <algorithm>
#include <array>

namespace reelkeep {

namespace {

struct FieldNames
{
    Field field;
    /// The names besides the field's own, best first, separated by bars.
    QStringView others;
};

// ORDER Field
constexpr std::array<FieldNames, FieldCount> OtherNames = {{
    {Field::Title, u"name|original title|film|movie"},
    {Field::Release, u"year|released|release date|release year"},
    {Field::Type, u"format|medium|media"},
    {Field::Time, u"runtime|running time|length|duration"},
    {Field::Genre, u"genres|category|categories"},
    {Field::Date, u"added|date added|purchased|purchase date"},
    {Field::Plot, u"summary|description|overview|synopsis"},
    {Field::Comment, u"comments|notes|note|review"},
    // A director is taken as cast only when no column names the cast itself.
    {Field::Cast, u"actors|starring|director|directors"},
    {Field::ImgSrc, u"image|cover|poster|picture"},
    {Field::ImgLink, u"image link"},
    {Field::WebText1, u""},
    {Field::WebUrl1, u""},
    {Field::WebText2, u""},
    {Field::WebUrl2, u""},
    {Field::WebText3, u""},
    {Field::WebUrl3, u""},
}};

// The names of a web link, which may go to any of the three weburl fields.
constexpr QStringView WebLinkNames = u"url|link|website|homepage|imdb";

const QHash<QString, NamedTarget>& namedTargets()
{
    static const QHash<QString, NamedTarget> targets = [] {
        QHash<QString, NamedTarget> built;
        const auto add = [&built](QStringView name, NamedTarget target) {
            Q_ASSERT(!built.contains(columnKey(name))); // a name leads to one field only
            built.insert(columnKey(name), target);
        };
        for (const FieldNames& row : OtherNames) {
            add(fieldName(row.field), {row.field, false, 0});
            int rank = 1;
            for (QStringView name : row.others.tokenize(u'|', Qt::SkipEmptyParts))
                add(name, {row.field, false, rank++});
        }
        int rank = 0;
        for (QStringView name : WebLinkNames.tokenize(u'|'))
            add(name, {Field::WebUrl1, true, rank++});
        return built;
    }();
    return targets;
}

// The column with a field's best name.
struct Claim
{
    qsizetype column = -1;
    int rank = 0;
};

// The column each field goes to by name, and in webLinks the columns named for a web link.
std::array<Claim, FieldCount> bestClaims(const QStringList& columns, QList<qsizetype>& webLinks)
{
    std::array<Claim, FieldCount> claims{};
    for (qsizetype column = 0; column < columns.size(); ++column) {
        const std::optional<NamedTarget> target = targetOfName(columns[column]);
        if (!target)
            continue;
        if (target->webLink) {
            webLinks.append(column);
            continue;
        }
        Claim& best = claims[static_cast<size_t>(target->field)];
        if (best.column < 0 || target->rank < best.rank)
            best = {column, target->rank};
    }
    return claims;
}

bool refuse(QString* failure, const QString& text)
{
    if (failure)
        *failure = text;
    return false;
}

QString fieldList()
{
    QStringList names;
    for (int i = 0; i < FieldCount; ++i)
        names.append(fieldName(fieldAt(i)).toString());
    return names.join(QStringLiteral(", "));
}

} // namespace

QString columnKey(QStringView name)
{
    // Compatibility decomposition puts each accent after its letter as a mark of its own.
    const QString decomposed = name.toString().normalized(QString::NormalizationForm_KD);
    QString key;
    for (QChar character : decomposed) {
        if (character.isLetterOrNumber())
            key.append(character);
    }
    return key.toCaseFolded();
}

std::optional<NamedTarget> targetOfName(QStringView columnName)
{
    const QHash<QString, NamedTarget>& targets = namedTargets();
    const auto found = targets.constFind(columnKey(columnName));
    if (found == targets.constEnd())
        return std::nullopt;
    return *found;
}

ImportMapping guessMapping(const QStringList& columns)
{
    ImportMapping mapping(columns.size());
    QList<qsizetype> webLinks;
    const std::array<Claim, FieldCount> claims = bestClaims(columns, webLinks);
    for (int field = 0; field < FieldCount; ++field) {
        if (const qsizetype column = claims[static_cast<size_t>(field)].column; column >= 0)
            mapping[column] = fieldAt(field);
    }
    auto link = WebLinks.begin();
    for (const qsizetype column : webLinks) {
        while (link != WebLinks.end() && columnOfField(mapping, link->url) >= 0)
            ++link;
        if (link == WebLinks.end())
            break;
        mapping[column] = link->url;
    }
    return mapping;
}

qsizetype columnOfField(const ImportMapping& mapping, Field field)
{
    return mapping.indexOf(field);
}

void assignColumn(ImportMapping& mapping, qsizetype column, std::optional<Field> field)
{
    if (field)
        std::replace(mapping.begin(), mapping.end(), std::optional<Field>(field), std::optional<Field>());
    if (column >= mapping.size())
        mapping.resize(column + 1);
    mapping[column] = field;
}

qsizetype columnNamed(const QStringList& columns, QStringView name)
{
    const qsizetype exact = columns.indexOf(name);
    if (exact >= 0)
        return exact;
    const QString key = columnKey(name);
    for (qsizetype column = 0; column < columns.size(); ++column) {
        if (columnKey(columns[column]) == key)
            return column;
    }
    return -1;
}

bool assignColumnByName(ImportMapping& mapping,
                        const QStringList& columns,
                        QStringView columnName,
                        QStringView fieldName,
                        QString* failure)
{
    const qsizetype column = columnNamed(columns, columnName);
    if (column < 0)
        return refuse(failure, QStringLiteral("no column is called \"%1\"").arg(columnName));
    std::optional<Field> field;
    if (!fieldName.isEmpty()) {
        field = fieldNamed(fieldName);
        if (!field) {
            return refuse(
                failure,
                QStringLiteral("no field is called \"%1\"; the fields are %2").arg(fieldName, fieldList()));
        }
    }
    assignColumn(mapping, column, field);
    return true;
}

} // namespace reelkeep
