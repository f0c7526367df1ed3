// Find as you type over a catalogue: which films hold every word of a search in their title, cast,
// genre, type, release, comment, plot or extra fields of text, ignoring letter case and accents.
#pragma once

#include "catalogue/Catalogue.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <vector>

namespace reelkeep {

class FilmSearch : public QObject
{
    Q_OBJECT

public:
    /// Follows the catalogue's changes, refolding only the films that changed.
    explicit FilmSearch(const Catalogue& catalogue, QObject* parent = nullptr);

    /// The text as the search compares it: lower case, accents dropped ("Amélie" gives "amelie",
    /// "Søren" gives "soren", "Straße" gives "strasse"), in UTF-8.
    static QByteArray fold(QStringView text);
    /// The folded words of a search, split at white space.
    static QList<QByteArray> words(QStringView search);

    /// For each catalogue position, whether the film holds every word of the search; all true for
    /// a search without words.
    std::vector<bool> matches(QStringView search);

private:
    void refold(int first, int last);
    void joinFolded();

    const Catalogue& m_catalogue;
    /// Each film's searched fields, folded, one after another.
    QList<QByteArray> m_folded;
    /// m_folded joined, each film ended by a zero byte, and where each film starts in it.
    QByteArray m_joined;
    std::vector<qsizetype> m_starts;
    /// No film is folded yet, or the catalogue was replaced since.
    bool m_foldedIsStale = true;
    bool m_joinedIsStale = true;
};

} // namespace reelkeep
