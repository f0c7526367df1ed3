// The changes to the catalogue as steps of Qt's undo framework, so that Undo takes them back and
// Redo does them again.
#pragma once

#include "catalogue/Catalogue.h"
#include "storage/ListFile.h"

#include <QUndoCommand>

namespace reelkeep {

/// What a load puts into the window: the films, the page texts and the file they came from.
struct ListInWindow
{
    QList<FilmRecord> films;
    QString pageTitle;
    QString pageDescription;
    /// The list file loaded or saved last, or the empty text.
    QString file;
    ListForm form = ListForm::Native;
    /// The encoding that file was read in, which a save keeps.
    ListEncoding encoding = ListEncoding::Windows1252;
    ExtraFields fields = {};
};

/// The window as a change to the films needs it once it is undone or redone.
class CatalogueView
{
public:
    virtual ~CatalogueView() = default;
    /// Selects the film at a position and shows it in the fields; -1 selects none and empties them.
    virtual void showFilm(int position) = 0;
};

/// The window as a load needs it once it is undone or redone.
class WindowList
{
public:
    virtual ~WindowList() = default;
    virtual ListInWindow listInWindow() const = 0;
    virtual void showList(const ListInWindow& list) = 0;
};

/// A step's text, as Undo and Redo name it: the command's caption and the film's title.
QString stepText(const QString& caption, const QString& title);

class CatalogueStep;

/// What the undo history keeps of films and texts: once its steps keep more than the budget, the
/// oldest ones let theirs go, and Undo goes back no further than the oldest step that kept them.
class StepBudget
{
public:
    explicit StepBudget(qsizetype bytes)
        : m_bytes(bytes)
    {}
    StepBudget(const StepBudget&) = delete;
    StepBudget& operator=(const StepBudget&) = delete;

    void setBytes(qsizetype bytes);
    /// Counts a step pushed onto the history, the newest; the oldest steps let go of what they
    /// keep until all keep no more than the budget.
    void add(CatalogueStep* step);

private:
    friend class CatalogueStep;
    void trim();

    qsizetype m_bytes;
    /// The steps the history holds, the oldest first.
    QList<CatalogueStep*> m_steps;
};

/// A step of the catalogue's history: it tells about how much it keeps of films and texts that
/// the catalogue may no longer hold, and lets them go when the history keeps too much.
class CatalogueStep : public QUndoCommand
{
public:
    ~CatalogueStep() override;
    /// The bytes of the films and texts the step keeps to be undone or redone, about.
    virtual qsizetype keptBytes() const = 0;
    /// The step let go of what it kept: neither it nor any step before it can be undone.
    bool isForgotten() const { return m_forgotten; }

protected:
    explicit CatalogueStep(const QString& text)
        : QUndoCommand(text)
    {}
    /// Frees the films and texts the step keeps.
    virtual void letGo() = 0;

private:
    friend class StepBudget;
    StepBudget* m_budget = nullptr;
    bool m_forgotten = false;
};

/// A change to the films. Its first redo is the command itself, which leaves the window as the
/// command's own rules say; every later undo or redo shows the film it changed.
class FilmStep : public CatalogueStep
{
protected:
    FilmStep(Catalogue& catalogue, CatalogueView& view, const QString& text);
    /// After the first redo, shows the film at a position, or none for -1.
    void showAfterwards(int position);

    Catalogue& m_catalogue;

private:
    CatalogueView& m_view;
    bool m_done = false;
};

/// Films put in at a position: "Update" adding a film, or several films at once as one step.
class AddFilms : public FilmStep
{
public:
    /// The films must fit (see Catalogue::insert).
    AddFilms(Catalogue& catalogue,
             CatalogueView& view,
             int position,
             QList<FilmRecord> films,
             const QString& text);
    void redo() override;
    void undo() override;
    qsizetype keptBytes() const override;

private:
    void letGo() override;

    int m_position;
    QList<FilmRecord> m_films;
};

/// An import: films added at the end with the extra fields they brought, which Undo takes back too.
class ImportFilms : public AddFilms
{
public:
    /// fields are the list's own, then the new ones the films hold values in.
    ImportFilms(Catalogue& catalogue,
                CatalogueView& view,
                QList<FilmRecord> films,
                ExtraFields fields,
                const QString& text);
    void redo() override;
    void undo() override;

private:
    ExtraFields m_fieldsBefore;
    ExtraFields m_fieldsAfter;
};

/// "Update" storing the fields into the film at a position.
class ReplaceFilm : public FilmStep
{
public:
    ReplaceFilm(Catalogue& catalogue, CatalogueView& view, int position, FilmRecord film);
    void redo() override;
    void undo() override;
    qsizetype keptBytes() const override;

private:
    void letGo() override;

    int m_position;
    FilmRecord m_before;
    FilmRecord m_after;
};

/// "Remove" of the film at a position.
class RemoveFilm : public FilmStep
{
public:
    RemoveFilm(Catalogue& catalogue, CatalogueView& view, int position);
    void redo() override;
    void undo() override;
    qsizetype keptBytes() const override;

private:
    void letGo() override;

    int m_position;
    FilmRecord m_film;
};

/// "UP" or "DOWN": the films at a position and the next one change places.
class ExchangeFilms : public FilmStep
{
public:
    enum class Moved
    {
        /// "UP": the film below moves up to the position.
        Up,
        /// "DOWN": the film at the position moves down.
        Down,
    };
    ExchangeFilms(Catalogue& catalogue, CatalogueView& view, int position, Moved moved);
    void redo() override;
    void undo() override;
    qsizetype keptBytes() const override { return 0; }

private:
    void letGo() override {}

    int m_position;
    Moved m_moved;
};

/// A change the Fields dialog makes to the list's extra fields; the films' values go with their fields.
class ExtraFieldStep : public CatalogueStep
{
public:
    qsizetype keptBytes() const override { return 0; }

protected:
    ExtraFieldStep(Catalogue& catalogue, const QString& text)
        : CatalogueStep(text)
        , m_catalogue(catalogue)
    {}
    /// The positions of the list's fields, each staying where it is.
    QList<qsizetype> samePlaces() const;
    void letGo() override {}

    Catalogue& m_catalogue;
};

/// A new field after the list's others.
class AddExtraField : public ExtraFieldStep
{
public:
    AddExtraField(Catalogue& catalogue, ExtraField field);
    void redo() override;
    void undo() override;

private:
    ExtraField m_field;
};

class RenameExtraField : public ExtraFieldStep
{
public:
    RenameExtraField(Catalogue& catalogue, qsizetype position, QString name);
    void redo() override { rename(m_after); }
    void undo() override { rename(m_before); }

private:
    void rename(const QString& name);

    qsizetype m_position;
    QString m_before;
    QString m_after;
};

class MoveExtraField : public ExtraFieldStep
{
public:
    MoveExtraField(Catalogue& catalogue, qsizetype from, qsizetype to);
    void redo() override { move(m_from, m_to); }
    void undo() override { move(m_to, m_from); }

private:
    void move(qsizetype from, qsizetype to);

    qsizetype m_from;
    qsizetype m_to;
};

/// A field taken out of the list with every film's value in it, which Undo gives back.
class RemoveExtraField : public ExtraFieldStep
{
public:
    RemoveExtraField(Catalogue& catalogue, qsizetype position);
    void redo() override;
    void undo() override;
    qsizetype keptBytes() const override;

private:
    void letGo() override;

    qsizetype m_position;
    ExtraField m_field;
    QStringList m_values;
};

/// A load that replaced the list, with the page texts and the current file it brought.
class ReplaceList : public CatalogueStep
{
public:
    ReplaceList(WindowList& window, ListInWindow before, ListInWindow after);
    void redo() override;
    void undo() override;
    /// The list it replaced: the list it brought is the catalogue's, or a later load's list replaced.
    qsizetype keptBytes() const override;

private:
    void letGo() override;

    WindowList& m_window;
    ListInWindow m_before;
    ListInWindow m_after;
};

} // namespace reelkeep
