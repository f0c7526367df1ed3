// The catalogue's undoable steps.
#include "window/CatalogueSteps.h"

#include <QFileInfo>

#include <numeric>

namespace reelkeep {

namespace {

// A text's characters and what the heap adds to each one, about.
constexpr qsizetype TextOverheadBytes = 32;

qsizetype bytesOf(const QString& text)
{
    return text.size() * qsizetype(sizeof(QChar)) + TextOverheadBytes;
}

qsizetype bytesOf(const QStringList& texts)
{
    qsizetype bytes = 0;
    for (const QString& text : texts)
        bytes += bytesOf(text);
    return bytes;
}

qsizetype bytesOf(const FilmRecord& film)
{
    qsizetype bytes = sizeof(FilmRecord) + bytesOf(film.extra);
    for (const QString& field : film.fields)
        bytes += bytesOf(field);
    return bytes;
}

qsizetype bytesOf(const ExtraFields& fields)
{
    qsizetype bytes = 0;
    for (const ExtraField& field : fields)
        bytes += sizeof(ExtraField) + bytesOf(field.name);
    return bytes;
}

qsizetype bytesOf(const QList<FilmRecord>& films)
{
    qsizetype bytes = 0;
    for (const FilmRecord& film : films)
        bytes += bytesOf(film);
    return bytes;
}

} // namespace

QString stepText(const QString& caption, const QString& title)
{
    return title.isEmpty() ? caption : QStringLiteral("%1 \u201C%2\u201D").arg(caption, title);
}

void StepBudget::setBytes(qsizetype bytes)
{
    m_bytes = bytes;
    trim();
}

void StepBudget::add(CatalogueStep* step)
{
    step->m_budget = this;
    m_steps.append(step);
    trim();
}

void StepBudget::trim()
{
    qsizetype kept = 0;
    for (const CatalogueStep* step : std::as_const(m_steps))
        kept += step->keptBytes();
    for (CatalogueStep* step : std::as_const(m_steps)) {
        if (kept <= m_bytes)
            break;
        kept -= step->keptBytes();
        step->letGo();
        step->m_forgotten = true;
    }
}

CatalogueStep::~CatalogueStep()
{
    if (m_budget)
        m_budget->m_steps.removeOne(this);
}

FilmStep::FilmStep(Catalogue& catalogue, CatalogueView& view, const QString& text)
    : CatalogueStep(text)
    , m_catalogue(catalogue)
    , m_view(view)
{}

void FilmStep::showAfterwards(int position)
{
    if (m_done)
        m_view.showFilm(position);
    m_done = true;
}

AddFilms::AddFilms(
    Catalogue& catalogue, CatalogueView& view, int position, QList<FilmRecord> films, const QString& text)
    : FilmStep(catalogue, view, text)
    , m_position(position)
    , m_films(std::move(films))
{}

void AddFilms::redo()
{
    m_catalogue.insert(m_position, m_films);
    showAfterwards(m_position);
}

void AddFilms::undo()
{
    m_catalogue.remove(m_position, static_cast<int>(m_films.size()));
    showAfterwards(-1);
}

qsizetype AddFilms::keptBytes() const
{
    return bytesOf(m_films);
}

void AddFilms::letGo()
{
    m_films = {};
}

ImportFilms::ImportFilms(Catalogue& catalogue,
                         CatalogueView& view,
                         QList<FilmRecord> films,
                         ExtraFields fields,
                         const QString& text)
    : AddFilms(catalogue, view, catalogue.count(), std::move(films), text)
    , m_fieldsBefore(catalogue.extraFields())
    , m_fieldsAfter(std::move(fields))
{}

void ImportFilms::redo()
{
    m_catalogue.setExtraFields(m_fieldsAfter);
    AddFilms::redo();
}

void ImportFilms::undo()
{
    AddFilms::undo();
    m_catalogue.setExtraFields(m_fieldsBefore);
}

ReplaceFilm::ReplaceFilm(Catalogue& catalogue, CatalogueView& view, int position, FilmRecord film)
    : FilmStep(catalogue, view, stepText(QStringLiteral("Update"), film.title()))
    , m_position(position)
    , m_before(catalogue.at(position))
    , m_after(std::move(film))
{}

void ReplaceFilm::redo()
{
    m_catalogue.replace(m_position, m_after);
    showAfterwards(m_position);
}

void ReplaceFilm::undo()
{
    m_catalogue.replace(m_position, m_before);
    showAfterwards(m_position);
}

qsizetype ReplaceFilm::keptBytes() const
{
    return bytesOf(m_before) + bytesOf(m_after);
}

void ReplaceFilm::letGo()
{
    m_before = m_after = {};
}

RemoveFilm::RemoveFilm(Catalogue& catalogue, CatalogueView& view, int position)
    : FilmStep(catalogue, view, stepText(QStringLiteral("Remove"), catalogue.at(position).title()))
    , m_position(position)
    , m_film(catalogue.at(position))
{}

void RemoveFilm::redo()
{
    m_catalogue.remove(m_position);
    showAfterwards(-1);
}

void RemoveFilm::undo()
{
    m_catalogue.insert(m_position, {m_film});
    showAfterwards(m_position);
}

qsizetype RemoveFilm::keptBytes() const
{
    return bytesOf(m_film);
}

void RemoveFilm::letGo()
{
    m_film = {};
}

ExchangeFilms::ExchangeFilms(Catalogue& catalogue, CatalogueView& view, int position, Moved moved)
    : FilmStep(catalogue,
               view,
               moved == Moved::Up ? stepText(QStringLiteral("UP"), catalogue.at(position + 1).title())
                                  : stepText(QStringLiteral("DOWN"), catalogue.at(position).title()))
    , m_position(position)
    , m_moved(moved)
{}

void ExchangeFilms::redo()
{
    m_catalogue.exchangeWithNext(m_position);
    showAfterwards(m_moved == Moved::Up ? m_position : m_position + 1);
}

void ExchangeFilms::undo()
{
    m_catalogue.exchangeWithNext(m_position);
    showAfterwards(m_moved == Moved::Up ? m_position + 1 : m_position);
}

QList<qsizetype> ExtraFieldStep::samePlaces() const
{
    QList<qsizetype> places(m_catalogue.extraFields().size());
    std::iota(places.begin(), places.end(), 0);
    return places;
}

AddExtraField::AddExtraField(Catalogue& catalogue, ExtraField field)
    : ExtraFieldStep(catalogue, stepText(QStringLiteral("Add Field"), field.name))
    , m_field(std::move(field))
{}

void AddExtraField::redo()
{
    m_catalogue.changeExtraFields([this](ExtraFields& fields, QList<FilmRecord>&) { fields.append(m_field); },
                                  samePlaces() << -1);
}

void AddExtraField::undo()
{
    QList<qsizetype> places = samePlaces();
    places.removeLast();
    m_catalogue.changeExtraFields(
        [](ExtraFields& fields, QList<FilmRecord>& films) {
            removeExtraField(fields, films, fields.size() - 1);
        },
        places);
}

RenameExtraField::RenameExtraField(Catalogue& catalogue, qsizetype position, QString name)
    : ExtraFieldStep(catalogue,
                     stepText(QStringLiteral("Rename Field"), catalogue.extraFields()[position].name))
    , m_position(position)
    , m_before(catalogue.extraFields()[position].name)
    , m_after(std::move(name))
{}

void RenameExtraField::rename(const QString& name)
{
    m_catalogue.changeExtraFields(
        [this, &name](ExtraFields& fields, QList<FilmRecord>&) { fields[m_position].name = name; },
        samePlaces());
}

MoveExtraField::MoveExtraField(Catalogue& catalogue, qsizetype from, qsizetype to)
    : ExtraFieldStep(catalogue, stepText(QStringLiteral("Move Field"), catalogue.extraFields()[from].name))
    , m_from(from)
    , m_to(to)
{}

void MoveExtraField::move(qsizetype from, qsizetype to)
{
    QList<qsizetype> places = samePlaces();
    places.move(from, to);
    m_catalogue.changeExtraFields(
        [from, to](ExtraFields& fields, QList<FilmRecord>& films) {
            moveExtraField(fields, films, from, to);
        },
        places);
}

RemoveExtraField::RemoveExtraField(Catalogue& catalogue, qsizetype position)
    : ExtraFieldStep(catalogue,
                     stepText(QStringLiteral("Remove Field"), catalogue.extraFields()[position].name))
    , m_position(position)
    , m_field(catalogue.extraFields()[position])
    , m_values(extraFieldValues(catalogue.entries(), position))
{}

void RemoveExtraField::redo()
{
    QList<qsizetype> places = samePlaces();
    places.remove(m_position);
    m_catalogue.changeExtraFields(
        [this](ExtraFields& fields, QList<FilmRecord>& films) {
            removeExtraField(fields, films, m_position);
        },
        places);
}

void RemoveExtraField::undo()
{
    QList<qsizetype> places = samePlaces();
    places.insert(m_position, -1);
    m_catalogue.changeExtraFields(
        [this](ExtraFields& fields, QList<FilmRecord>& films) {
            insertExtraField(fields, films, m_position, m_field, m_values);
        },
        places);
}

qsizetype RemoveExtraField::keptBytes() const
{
    return bytesOf(m_values);
}

void RemoveExtraField::letGo()
{
    m_values = {};
}

ReplaceList::ReplaceList(WindowList& window, ListInWindow before, ListInWindow after)
    : CatalogueStep(QStringLiteral("Load %1").arg(QFileInfo(after.file).fileName()))
    , m_window(window)
    , m_before(std::move(before))
    , m_after(std::move(after))
{}

void ReplaceList::redo()
{
    m_window.showList(m_after);
}

void ReplaceList::undo()
{
    m_window.showList(m_before);
}

qsizetype ReplaceList::keptBytes() const
{
    return bytesOf(m_before.films) + bytesOf(m_before.pageTitle) + bytesOf(m_before.pageDescription) +
           bytesOf(m_before.fields);
}

void ReplaceList::letGo()
{
    m_before = m_after = {};
}

} // namespace reelkeep
