// Where each column of an imported table goes: the names that other programs and spreadsheets give
// the fields, matched whatever their case and accents, and an extra field for every other column.
#pragma once

#include "catalogue/ExtraField.h"
#include "catalogue/FilmRecord.h"
#include "storage/ImportCells.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <optional>

namespace reelkeep {

struct DelimitedTable;

/// Where one column goes: to one of the seventeen fields, to an extra field, or nowhere.
struct ColumnTarget
{
    std::optional<Field> field = {};
    /// The list's own extra field of this name (whatever the case) when it has one, else a new one.
    std::optional<ExtraField> extra = {};
    /// The column's ratings are out of 5, and are doubled.
    bool outOfFive = false;

    bool leftOut() const { return !field && !extra; }
    bool operator==(const ColumnTarget&) const = default;
};

/// Where each column goes, by column position.
using ImportMapping = QList<ColumnTarget>;

/// The list films are imported into, as far as where the columns go depends on it: its extra
/// fields, which the columns of the same names join, and the names templates use, which new fields
/// do not take (PageHost::answersFilmName).
struct ImportTarget
{
    ExtraFields fields;
    AnsweredName answered = nullptr;
};

/// The three web links of a film, each as its text field and its URL field.
struct WebLink
{
    Field text;
    Field url;
};
inline constexpr std::array<WebLink, 3> WebLinks = {{
    {Field::WebText1, Field::WebUrl1},
    {Field::WebText2, Field::WebUrl2},
    {Field::WebText3, Field::WebUrl3},
}};

/// A column name reduced for comparison: accents dropped, case folded, and only letters and
/// digits kept, so that "Running time", "running-time" and "RUNNING TIME" are one name, and so are
/// "Année" and "annee".
QString columnKey(QStringView name);

/// Where a column name sends its column.
struct NamedTarget
{
    Field field;
    /// The name is one of a web link ("URL", "IMDb"): the column goes to whichever weburl field no
    /// other column takes, and field is WebUrl1.
    bool webLink = false;
    /// The place of the name among the field's names, 0 for the field's own name: the column with
    /// the best place gets the field.
    int rank = 0;
};

/// The target of a column name, or nothing when no field goes by that name.
std::optional<NamedTarget> targetOfName(QStringView columnName);

/// The name and, when the header ends in a kind's words in brackets (headerOfExtraField(), so that a
/// sheet written by export imports with the same kinds), the kind that a header or a choice names: "Seen
/// (yes/no)" is "Seen" of kind yes/no; "Price (EUR)" is just a name.
struct HeaderName
{
    QString name;
    std::optional<ExtraKind> kind;
    bool outOfFive = false;
};
HeaderName nameOfHeader(QStringView header);

/// Where the columns of a table seem to go. Each field goes to the column with the field's best
/// name, the first such column on a tie. Columns named for a web link, and columns of nothing but
/// web addresses, take the weburl fields no column has, in column order. Every other column goes to
/// an extra field: the list's own field of its name when its kind takes the cells, else a new field
/// named by the header (made unique), of the kind the header names or the cells suggest. A column
/// without a name or a value, or one beyond the extra fields a list holds, is left out. cells holds
/// what each column's cells are (examineColumns()).
ImportMapping
guessMapping(const DelimitedTable& table, const QList<ColumnCells>& cells, const ImportTarget& target);

/// guessMapping() of a table whose columns are not examined yet: the columns a field's name claims
/// are not read.
ImportMapping guessMapping(const DelimitedTable& table, const ImportTarget& target);

/// The column that gives a field, the first if several do, or -1.
qsizetype columnOfField(const ImportMapping& mapping, Field field);

/// Sends a column where target says; a column that had the same field, or an extra field of the
/// same name, is left out, so that nothing comes from two columns.
void assignColumn(ImportMapping& mapping, qsizetype column, const ColumnTarget& target);

/// The extra fields an import gives the list: the list's own, then the new ones in column order.
ExtraFields importedFields(const ImportMapping& mapping, const ImportTarget& target);

/// A kind an extra field from a column may have, with its ratings out of 5 or out of 10.
struct KindChoice
{
    ExtraKind kind;
    bool outOfFive = false;

    bool operator==(const KindChoice&) const = default;
};

/// The kinds that take every cell of a column, in the kinds' order, ratings out of 10 before
/// ratings out of 5.
QList<KindChoice> kindChoices(const ColumnCells& cells);

/// Sends a column to an extra field by name, of the given kind or, for none, the kind of the list's
/// field of that name or the kind its cells suggest. Refuses, with failure saying why, a name the
/// rules refuse, a kind that does not take every cell (naming the first that it does not), another
/// kind than the list's field of that name has, and a field beyond the extra fields a list holds.
bool assignExtraField(ImportMapping& mapping,
                      const DelimitedTable& table,
                      qsizetype column,
                      const HeaderName& wanted,
                      const ImportTarget& target,
                      QString* failure = nullptr);

/// The column with the name exactly as written, else the first whose columnKey is the name's, or -1.
qsizetype columnNamed(const QStringList& columns, QStringView name);

/// Sends the column called columnName where choice says: a field by its name ("title"), an extra
/// field after a plus ("+Rating", "+Seen (yes/no)", as assignExtraField), or nowhere for the empty
/// text. Refuses, with failure saying why, a column or a field of that name that does not exist,
/// and an extra field that assignExtraField refuses.
bool assignColumnByName(ImportMapping& mapping,
                        const DelimitedTable& table,
                        QStringView columnName,
                        QStringView choice,
                        const ImportTarget& target,
                        QString* failure = nullptr);

} // namespace reelkeep
