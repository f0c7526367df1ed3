// The catalogue's undoable steps.
#include "catalogue/widgets/CatalogueSteps.h"

#include <QFileInfo>

namespace reelkeep {

QString stepText(const QString& caption, const QString& title)
{
    return title.isEmpty() ? caption : QStringLiteral("%1 \u201C%2\u201D").arg(caption, title);
}

FilmStep::FilmStep(Catalogue& catalogue, CatalogueView& view, const QString& text)
    : QUndoCommand(text)
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

ReplaceList::ReplaceList(CatalogueView& view, ListInWindow before, ListInWindow after)
    : QUndoCommand(QStringLiteral("Load %1").arg(QFileInfo(after.file).fileName()))
    , m_view(view)
    , m_before(std::move(before))
    , m_after(std::move(after))
{}

void ReplaceList::redo()
{
    m_view.showList(m_after);
}

void ReplaceList::undo()
{
    m_view.showList(m_before);
}

} // namespace reelkeep
