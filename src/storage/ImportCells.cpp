// Reading the cells of an imported column as values of the kinds of extra field.
#include "storage/ImportCells.h"

#include "storage/DelimitedTable.h"
#include "storage/FilmTexts.h"

#include <QRegularExpression>

#include <cmath>

namespace reelkeep {

namespace {

// More characters than this make a text long text, as a line of a form would not show them.
constexpr qsizetype LongTextLength = 120;

struct Site
{
    /// The site's host, or the end of it after a dot: "imdb.com" is also "www.imdb.com".
    QStringView host;
    QStringView name;
};

constexpr Site Sites[] = {
    {u"imdb.com", u"IMDb"},
    {u"letterboxd.com", u"Letterboxd"},
    {u"boxd.it", u"Letterboxd"},
    {u"themoviedb.org", u"TMDb"},
    {u"wikipedia.org", u"Wikipedia"},
    {u"rottentomatoes.com", u"Rotten Tomatoes"},
    {u"trakt.tv", u"Trakt"},
    {u"youtube.com", u"YouTube"},
    {u"youtu.be", u"YouTube"},
};

// A number written with a decimal comma, as European spreadsheets write them, written with a point;
// a comma before three digits may group thousands and is left alone.
QString withDecimalPoint(QStringView cell)
{
    static const QRegularExpression DecimalComma(QStringLiteral("^\\s*[+-]?\\d+,(\\d{1,2}|\\d{4,})\\s*$"));
    QString text = cell.toString();
    if (DecimalComma.match(text).hasMatch())
        text.replace(u',', u'.');
    return text;
}

// Stars as a rating out of 10: each star two points, a half star one; empty stars count nothing.
std::optional<int> starsValue(QStringView cell)
{
    int points = 0;
    bool anyStar = false;
    for (const QChar character : cell) {
        if (character == u'\u2605' || character == u'*')
            points += 2;
        else if (character == u'\u00BD')
            points += 1;
        else if (character != u'\u2606' && !character.isSpace())
            return std::nullopt;
        anyStar = anyStar || !character.isSpace();
    }
    if (!anyStar || points > 10)
        return std::nullopt;
    return points;
}

// A number as a rating out of 10, doubled when it is out of 5; nothing when it is no rating.
std::optional<QString> ratingOfNumber(const QString& number, bool outOfFive)
{
    const double points = number.toDouble() * (outOfFive ? 2 : 1);
    return canonicalValue(ExtraKind::Rating, QString::number(points, 'g', 17));
}

std::optional<QString> ratingValue(bool outOfFive, QStringView cell)
{
    if (const std::optional<int> stars = starsValue(cell))
        return QString::number(*stars);
    const std::optional<QString> number = canonicalValue(ExtraKind::Number, withDecimalPoint(cell));
    if (!number)
        return std::nullopt;
    return ratingOfNumber(*number, outOfFive);
}

// The facts a column's cells have all shown so far, each dropped at the first cell without it.
struct Findings
{
    bool numbers = true;
    bool outOfTen = true;
    bool outOfFive = true;
    bool yesNo = true;
    bool dates = true;
    bool addresses = true;
    bool oneSite = true;
    QString site;

    void take(QStringView cell)
    {
        // The cell is read as a number once, and its ratings follow from the number or its stars.
        if (numbers || outOfTen || outOfFive) {
            const std::optional<QString> number = importedValue(ExtraKind::Number, false, cell);
            const bool stars = !number && starsValue(cell).has_value();
            numbers = numbers && number.has_value();
            outOfTen = outOfTen && (stars || (number && ratingOfNumber(*number, false)));
            outOfFive = outOfFive && (stars || (number && ratingOfNumber(*number, true)));
        }
        yesNo = yesNo && canonicalValue(ExtraKind::YesNo, cell).has_value();
        dates = dates && canonicalValue(ExtraKind::Date, cell).has_value();
        addresses = addresses && isWebAddress(cell);
        if (addresses && oneSite) {
            const QString cellSite = siteOfAddress(cell);
            oneSite = !cellSite.isEmpty() && (site.isEmpty() || site == cellSite);
            site = cellSite;
        }
    }
};

} // namespace

ColumnCells examineColumn(const DelimitedTable& table, qsizetype column)
{
    ColumnCells cells;
    Findings findings;
    for (const TableRow& row : table.rows) {
        const QString cell = table.cell(row, column);
        if (cell.trimmed().isEmpty())
            continue;
        cells.empty = false;
        cells.longText =
            cells.longText || cell.size() > LongTextLength || cell.contains(u'\n') || cell.contains(u'\r');
        findings.take(cell);
    }
    const auto set = [&cells](ExtraKind kind, bool fits) { cells.fits[static_cast<size_t>(kind)] = fits; };
    set(ExtraKind::Text, true);
    set(ExtraKind::LongText, true);
    set(ExtraKind::Number, findings.numbers);
    set(ExtraKind::Rating, findings.outOfTen || findings.outOfFive);
    set(ExtraKind::YesNo, findings.yesNo);
    set(ExtraKind::Date, findings.dates);
    cells.ratingOutOfTen = findings.outOfTen;
    cells.ratingOutOfFive = findings.outOfFive;
    cells.addresses = !cells.empty && findings.addresses;
    if (cells.addresses && findings.oneSite)
        cells.site = findings.site;
    return cells;
}

QList<ColumnCells> examineColumns(const DelimitedTable& table)
{
    QList<ColumnCells> columns;
    columns.reserve(table.columns.size());
    for (qsizetype column = 0; column < table.columns.size(); ++column)
        columns.append(examineColumn(table, column));
    return columns;
}

std::optional<QString> importedValue(ExtraKind kind, bool outOfFive, QStringView cell)
{
    if (!kindFacts(kind).keepsEveryText && cell.trimmed().isEmpty())
        return QString();
    switch (kind) {
    case ExtraKind::Number:
        return canonicalValue(kind, withDecimalPoint(cell));
    case ExtraKind::Rating:
        return ratingValue(outOfFive, cell);
    case ExtraKind::Text:
    case ExtraKind::LongText:
    case ExtraKind::YesNo:
    case ExtraKind::Date:
        break;
    }
    return canonicalValue(kind, cell);
}

QString columnLabel(const DelimitedTable& table, qsizetype column)
{
    return QStringLiteral("column %1 \"%2\"").arg(column + 1).arg(table.columns[column].simplified());
}

QString firstCellNotOfKind(const DelimitedTable& table, qsizetype column, ExtraKind kind, bool outOfFive)
{
    for (const TableRow& row : table.rows) {
        const QString cell = table.cell(row, column);
        if (!importedValue(kind, outOfFive, cell)) {
            return QStringLiteral("line %1: \"%2\" in %3 is not %4")
                .arg(row.line)
                .arg(shownInMessage(cell), columnLabel(table, column), kindFacts(kind).valueWords);
        }
    }
    return QString();
}

bool isWebAddress(QStringView text)
{
    const bool scheme =
        text.startsWith(u"http://", Qt::CaseInsensitive) || text.startsWith(u"https://", Qt::CaseInsensitive);
    return scheme &&
           std::none_of(text.begin(), text.end(), [](QChar character) { return character.isSpace(); });
}

QString siteOfAddress(QStringView address)
{
    const qsizetype scheme = address.indexOf(u"://");
    if (scheme < 0)
        return QString();
    const qsizetype start = scheme + 3;
    qsizetype end = start;
    while (end < address.size() && address[end] != u'/' && address[end] != u':' && address[end] != u'?' &&
           address[end] != u'#')
        ++end;
    const QString host = address.sliced(start, end - start).toString().toLower();
    for (const Site& site : Sites) {
        if (host == site.host || host.endsWith(u'.' + site.host.toString()))
            return site.name.toString();
    }
    return QString();
}

} // namespace reelkeep
