// The catalogue: the ordered film entries behind the "Movies" tab, its extra fields and its
// modified flag.
#pragma once

#include "catalogue/ExtraField.h"
#include "catalogue/FilmRecord.h"

#include <QAbstractListModel>
#include <QList>

#include <functional>

namespace reelkeep {

/// How the list names a film without a title, to the eye and to assistive technology; the film's
/// title stays empty.
inline const QString NoTitleText = QStringLiteral("(no title)");

/// The page title of a new window, which a list without page texts (.csv) leaves as it is.
inline const QString DefaultPageTitle = QStringLiteral("My Movie");

/// The films at positions 0 to N-1, offered as a list model whose line p shows the title of entry p,
/// so that the list box showing it can never fall out of step with the entries.
class Catalogue : public QAbstractListModel
{
    Q_OBJECT

public:
    /// Positions and the last index are signed 16-bit numbers.
    static constexpr int MaxEntries = 32767;

    explicit Catalogue(QObject* parent = nullptr);

    int count() const { return static_cast<int>(m_entries.size()); }
    /// N - 1, and -1 when the catalogue is empty.
    int lastIndex() const { return count() - 1; }
    const FilmRecord& at(int position) const { return m_entries.at(position); }
    const QList<FilmRecord>& entries() const { return m_entries; }

    /// Adds an entry at the end; refuses (returns false) when the catalogue is full.
    bool append(const FilmRecord& film);
    /// Puts films in at a position (0 to N), the entries from there moving after them; refuses
    /// (returns false, changing nothing) when they would not all fit.
    bool insert(int position, const QList<FilmRecord>& films);
    void replace(int position, const FilmRecord& film);
    void remove(int position, int count = 1);
    /// Exchanges the entries at position and position + 1.
    void exchangeWithNext(int position);
    /// Replaces every entry and the extra fields at once, as a load does; see setExtraFields().
    void replaceAll(QList<FilmRecord> films, ExtraFields fields = {});

    /// The list's extra fields, whose values the films hold in this order.
    const ExtraFields& extraFields() const { return m_extraFields; }
    /// Gives the list other extra fields; the films' values must follow their order. A field of the
    /// same name and kind as one before is that field, for extraFieldsChanged().
    void setExtraFields(ExtraFields fields);
    /// Changes the extra fields and the films' values in them at once, the films keeping their
    /// places; origins gives, for each field afterwards, its position before, or -1 for a field new
    /// to the list. When the change cannot get the memory it needs, nothing changes.
    void changeExtraFields(const std::function<void(ExtraFields&, QList<FilmRecord>&)>& change,
                           const QList<qsizetype>& origins);

    bool isModified() const { return m_modified; }
    void setModified(bool modified);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

signals:
    void modifiedChanged(bool modified);
    /// The extra fields changed: for each field, its position before, or -1 for a field new to the list.
    void extraFieldsChanged(const QList<qsizetype>& origins);

private:
    /// For each of the fields, the position of the list's field of the same name and kind, or -1.
    QList<qsizetype> originsOf(const ExtraFields& fields) const;

    QList<FilmRecord> m_entries;
    ExtraFields m_extraFields;
    bool m_modified = false;
};

} // namespace reelkeep
