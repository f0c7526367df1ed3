// The names of the fields in other programs' exports and in spreadsheets, and the choice of a
// field for each column.
#include "storage/ImportColumns.h"

#include "storage/DelimitedTable.h"
#include "storage/ImportCells.h"

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
    {Field::Time, u"runtime|running time|runtime (mins)|length|duration"},
    {Field::Genre, u"genres|category|categories"},
    {Field::Date, u"added|date added|purchased|purchase date"},
    {Field::Plot, u"summary|plot summary|description|overview|synopsis"},
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

// The names of a column of ratings, such as other programs export.
constexpr QStringView RatingNames = u"rating|your rating|my rating|personal rating|stars";

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

bool isRatingName(QStringView header)
{
    const QString key = columnKey(header);
    for (QStringView name : RatingNames.tokenize(u'|')) {
        if (columnKey(name) == key)
            return true;
    }
    return false;
}

// Whether a kind takes every cell, ratings out of 5 or out of 10.
bool fits(const ColumnCells& cells, ExtraKind kind, bool outOfFive)
{
    if (kind == ExtraKind::Rating)
        return outOfFive ? cells.ratingOutOfFive : cells.ratingOutOfTen;
    return cells.fitsKind(kind);
}

// The kind the cells suggest: ratings under a rating's name or in stars, then numbers, yes or no,
// dates, long texts, texts. Ratings from 0 to 5 are taken as out of 5, as most programs rate.
HeaderName guessedKind(const ColumnCells& cells, QStringView header)
{
    HeaderName guess{header.toString(), ExtraKind::Text};
    const bool stars = cells.fitsKind(ExtraKind::Rating) && !cells.fitsKind(ExtraKind::Number);
    if (cells.empty)
        return guess;
    if (cells.fitsKind(ExtraKind::Rating) && (stars || isRatingName(header)))
        return {guess.name, ExtraKind::Rating, cells.ratingOutOfFive};
    for (const ExtraKind kind : {ExtraKind::Number, ExtraKind::YesNo, ExtraKind::Date}) {
        if (cells.fitsKind(kind))
            return {guess.name, kind};
    }
    guess.kind = cells.longText ? ExtraKind::LongText : ExtraKind::Text;
    return guess;
}

// Builds the extra fields of a guess column by column, each new one with a name of its own.
class ExtraFieldGuess
{
public:
    explicit ExtraFieldGuess(const ImportTarget& target)
        : m_target(target)
        , m_known(target.fields)
        , m_joined(target.fields.size(), false)
    {}

    ColumnTarget targetOf(const QString& header, const ColumnCells& cells)
    {
        if (cells.empty && header.trimmed().isEmpty())
            return {}; // nothing to keep
        HeaderName wanted = nameOfHeader(header);
        if (!wanted.kind || !fits(cells, *wanted.kind, wanted.outOfFive))
            wanted = guessedKind(cells, header);
        const qsizetype own = extraFieldIndex(m_target.fields, wanted.name.simplified());
        if (own >= 0 && !m_joined[own]) {
            const ExtraField& field = m_target.fields[own];
            const bool outOfFive = wanted.kind == field.kind ? wanted.outOfFive : cells.ratingOutOfFive;
            if (fits(cells, field.kind, outOfFive)) {
                m_joined[own] = true;
                return {std::nullopt, field, field.kind == ExtraKind::Rating && outOfFive};
            }
        }
        if (m_known.size() >= MaxExtraFields)
            return {};
        const ExtraField field{freeExtraFieldName(m_known, wanted.name, m_target.answered), *wanted.kind};
        m_known.append(field);
        return {std::nullopt, field, wanted.outOfFive};
    }

private:
    const ImportTarget& m_target;
    ExtraFields m_known;
    QList<bool> m_joined;
};

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

HeaderName nameOfHeader(QStringView header)
{
    const QStringView trimmed = header.trimmed();
    const qsizetype open = trimmed.lastIndexOf(u" (");
    if (open > 0 && trimmed.endsWith(u')')) {
        const QStringView words = trimmed.sliced(open + 2, trimmed.size() - open - 3);
        if (words.compare(kindWords(ExtraKind::Rating, true), Qt::CaseInsensitive) == 0)
            return {trimmed.first(open).toString(), ExtraKind::Rating, true};
        if (const std::optional<ExtraKind> kind = kindOfWords(words))
            return {trimmed.first(open).toString(), kind};
    }
    return {header.toString(), std::nullopt};
}

ImportMapping
guessMapping(const DelimitedTable& table, const QList<ColumnCells>& cells, const ImportTarget& target)
{
    const QStringList& columns = table.columns;
    ImportMapping mapping(columns.size());
    QList<qsizetype> webLinks;
    const std::array<Claim, FieldCount> claims = bestClaims(columns, webLinks);
    for (int field = 0; field < FieldCount; ++field) {
        if (const qsizetype column = claims[static_cast<size_t>(field)].column; column >= 0)
            mapping[column].field = fieldAt(field);
    }
    // Columns named for a web link, and others of nothing but web addresses that name no kind, in
    // column order.
    auto link = WebLinks.begin();
    for (qsizetype column = 0; column < columns.size(); ++column) {
        const bool addresses = cells[column].addresses && !nameOfHeader(columns[column]).kind;
        if (!mapping[column].leftOut() || !(webLinks.contains(column) || addresses))
            continue;
        while (link != WebLinks.end() && columnOfField(mapping, link->url) >= 0)
            ++link;
        if (link == WebLinks.end())
            break;
        mapping[column].field = link->url;
    }
    ExtraFieldGuess extras(target);
    for (qsizetype column = 0; column < columns.size(); ++column) {
        if (mapping[column].leftOut())
            mapping[column] = extras.targetOf(columns[column], cells[column]);
    }
    return mapping;
}

ImportMapping guessMapping(const DelimitedTable& table, const ImportTarget& target)
{
    // Only the columns that no field claims by name are read.
    QList<qsizetype> webLinks;
    const std::array<Claim, FieldCount> claims = bestClaims(table.columns, webLinks);
    QList<ColumnCells> cells(table.columns.size());
    for (qsizetype column = 0; column < table.columns.size(); ++column) {
        const bool claimed = std::any_of(
            claims.begin(), claims.end(), [column](const Claim& claim) { return claim.column == column; });
        if (!claimed)
            cells[column] = examineColumn(table, column);
    }
    return guessMapping(table, cells, target);
}

qsizetype columnOfField(const ImportMapping& mapping, Field field)
{
    const auto found = std::find_if(mapping.begin(), mapping.end(), [field](const ColumnTarget& target) {
        return target.field == field;
    });
    return found == mapping.end() ? -1 : found - mapping.begin();
}

void assignColumn(ImportMapping& mapping, qsizetype column, const ColumnTarget& target)
{
    for (ColumnTarget& other : mapping) {
        const bool sameExtra = target.extra && other.extra &&
                               other.extra->name.compare(target.extra->name, Qt::CaseInsensitive) == 0;
        if ((target.field && other.field == target.field) || sameExtra)
            other = {};
    }
    if (column >= mapping.size())
        mapping.resize(column + 1);
    mapping[column] = target;
}

ExtraFields importedFields(const ImportMapping& mapping, const ImportTarget& target)
{
    ExtraFields fields = target.fields;
    for (const ColumnTarget& column : mapping) {
        if (column.extra && extraFieldIndex(fields, column.extra->name) < 0)
            fields.append(*column.extra);
    }
    return fields;
}

QList<KindChoice> kindChoices(const ColumnCells& cells)
{
    QList<KindChoice> choices;
    for (int kind = 0; kind < ExtraKindCount; ++kind) {
        for (const bool outOfFive : {false, true}) {
            if ((!outOfFive || ExtraKind(kind) == ExtraKind::Rating) &&
                fits(cells, ExtraKind(kind), outOfFive))
                choices.append({ExtraKind(kind), outOfFive});
        }
    }
    return choices;
}

bool assignExtraField(ImportMapping& mapping,
                      const DelimitedTable& table,
                      qsizetype column,
                      const HeaderName& wanted,
                      const ImportTarget& target,
                      QString* failure)
{
    const ColumnCells cells = examineColumn(table, column);
    const QString name = wanted.name.trimmed();
    const qsizetype own = extraFieldIndex(target.fields, name);
    HeaderName chosen = wanted.kind ? wanted : guessedKind(cells, name);
    if (own >= 0 && wanted.kind && *wanted.kind != target.fields[own].kind) {
        return refuse(failure,
                      QStringLiteral("the list's field \"%1\" is a %2 field")
                          .arg(target.fields[own].name, kindFacts(target.fields[own].kind).words));
    }
    if (own >= 0) {
        chosen.outOfFive = chosen.kind == target.fields[own].kind ? chosen.outOfFive : cells.ratingOutOfFive;
        chosen.kind = target.fields[own].kind;
    }
    ImportMapping others = mapping;
    assignColumn(others, column, {});
    if (own < 0) {
        const ExtraFields known = importedFields(others, target);
        if (const QString problem = extraFieldNameProblem(known, name, target.answered); !problem.isEmpty())
            return refuse(failure, QStringLiteral("a field cannot be called \"%1\": %2").arg(name, problem));
        if (known.size() >= MaxExtraFields)
            return refuse(failure,
                          QStringLiteral("a list holds at most %1 extra fields").arg(MaxExtraFields));
    }
    if (const QString unfit = firstCellNotOfKind(table, column, *chosen.kind, chosen.outOfFive);
        !unfit.isEmpty())
        return refuse(failure, unfit);
    const ExtraField field{own >= 0 ? target.fields[own].name : name, *chosen.kind};
    assignColumn(mapping, column, {std::nullopt, field, field.kind == ExtraKind::Rating && chosen.outOfFive});
    return true;
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
                        const DelimitedTable& table,
                        QStringView columnName,
                        QStringView choice,
                        const ImportTarget& target,
                        QString* failure)
{
    const qsizetype column = columnNamed(table.columns, columnName);
    if (column < 0)
        return refuse(failure, QStringLiteral("no column is called \"%1\"").arg(columnName));
    if (choice.startsWith(u'+'))
        return assignExtraField(mapping, table, column, nameOfHeader(choice.sliced(1)), target, failure);
    ColumnTarget chosen;
    if (!choice.isEmpty()) {
        chosen.field = fieldNamed(choice);
        if (!chosen.field) {
            return refuse(
                failure,
                QStringLiteral("no field is called \"%1\"; the fields are %2, and +NAME is an extra field")
                    .arg(choice, fieldList()));
        }
    }
    assignColumn(mapping, column, chosen);
    return true;
}

} // namespace reelkeep
