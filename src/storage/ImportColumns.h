// Which field each column of an imported table goes to: the names that other programs and
// spreadsheets give the fields, matched whatever their case and accents.
#pragma once

#include "catalogue/FilmRecord.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <optional>

namespace reelkeep {

/// The field each column goes to, by column position; nothing for a column left out.
using ImportMapping = QList<std::optional<Field>>;

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

/// The fields that the column names choose. Each field goes to the column with the field's best
/// name, the first such column on a tie; the other columns with its names are left out. Web-link
/// columns then take the weburl fields no column has, in column order.
ImportMapping guessMapping(const QStringList& columns);

/// The column that gives a field, the first if several do, or -1.
qsizetype columnOfField(const ImportMapping& mapping, Field field);

/// Sends a column to a field, or leaves it out for nothing; a column that had the field before is
/// left out, so that no field comes from two columns.
void assignColumn(ImportMapping& mapping, qsizetype column, std::optional<Field> field);

/// The column with the name exactly as written, else the first whose columnKey is the name's, or -1.
qsizetype columnNamed(const QStringList& columns, QStringView name);

/// Sends the column called columnName to the field called fieldName, or leaves it out when
/// fieldName is empty, as assignColumn does. Refuses, with failure saying why, a column or a field
/// of that name that does not exist.
bool assignColumnByName(ImportMapping& mapping,
                        const QStringList& columns,
                        QStringView columnName,
                        QStringView fieldName,
                        QString* failure = nullptr);

} // namespace reelkeep
