// The film editor on "Movies": the fields of the film being edited, the completion of Type, Genre
// and Release from the catalogue, and the Image frame.
#pragma once

#include "catalogue/ExtraField.h"
#include "catalogue/FilmRecord.h"

#include <QWidget>

#include <array>

class QComboBox;
class QStringListModel;

namespace reelkeep {

class Catalogue;
class CommandRunner;
class ExtraFieldEditors;
class PosterFrame;

class FilmEditor : public QWidget
{
    Q_OBJECT

public:
    /// Type, Genre and Release complete from the values the catalogue holds.
    FilmEditor(const Catalogue& catalogue, CommandRunner& runner, QWidget* parent = nullptr);

    /// What the fields and the extra fields' editors hold, as a film.
    FilmRecord fields() const;
    /// Shows a film; a pending edit is a difference from what the fields hold now.
    void showFilm(const FilmRecord& film);
    /// Puts a film's texts into the fields, leaving what they last showed.
    void setFields(const FilmRecord& film);
    /// The fields as they were last shown or stored; any difference is a pending edit.
    const FilmRecord& shownFields() const { return m_shownFields; }
    void setShownFields(const FilmRecord& film);
    /// Drops the typed edits: the fields show again what they showed last.
    void dropEdits();
    void focusFirstField();
    /// The field controls, in field order.
    const std::array<QWidget*, FieldCount>& controls() const { return m_controls; }

    /// The editors of the list's extra fields, which the window places beside the list.
    QWidget* extraFieldEditors() const;
    /// Makes editors for the list's extra fields. A field that was one before (origins gives its
    /// position before, -1 for a field new to the list) keeps what its editor held and showed; a
    /// new one shows the film's value (`stored`, the film picked, or an empty one).
    void showExtraFields(const ExtraFields& extraFields,
                         const QList<qsizetype>& origins,
                         const FilmRecord& stored);
    /// What an extra field's editor holds that is no value of its kind, in words for the user;
    /// the empty text when every one holds a value or none.
    QString extraValueProblem() const;

    /// Puts the texts of Type and Genre on top of their histories, as Update does.
    void rememberHistories();
    QStringList typeHistory() const;
    QStringList genreHistory() const;
    /// Fills the histories, the top entry first, and leaves both boxes empty.
    void restoreHistories(const QStringList& types, const QStringList& genres);

    /// The folder a relative Source names a picture in: the list file's, or empty for none.
    void setListFolder(const QString& folder);

signals:
    /// The fields' texts, or what they last showed, changed.
    void editsChanged();

private:
    QWidget* control(Field field) const { return m_controls[static_cast<size_t>(field)]; }
    QLayout* buildColumns();
    QLayout* buildFrames();
    QString fieldText(Field field) const;
    void setFieldText(Field field, const QString& text);
    void connectCompletion();
    void refreshCompletion();
    void connectPoster();
    void refreshPoster();

    const Catalogue& m_catalogue;
    CommandRunner& m_runner;
    std::array<QWidget*, FieldCount> m_controls{};
    QComboBox* m_type = nullptr;
    QComboBox* m_genre = nullptr;
    PosterFrame* m_poster = nullptr;
    ExtraFieldEditors* m_extraFields = nullptr;
    FilmRecord m_shownFields;
    /// The completions of Type, Genre and Release, in that order.
    std::array<QStringListModel*, 3> m_completions{};
    bool m_completionIsStale = false;
    QString m_listFolder;
};

} // namespace reelkeep
