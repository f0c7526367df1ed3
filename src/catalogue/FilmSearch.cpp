#include "catalogue/FilmSearch.h"

#include <algorithm>
// memmem (POSIX.1-2024), far quicker than a byte-by-byte search on glibc.
#include <string.h>

namespace reelkeep {

namespace {

// ORDER the fields a search looks in.
constexpr Field SearchedFields[] = {
    Field::Title, Field::Cast, Field::Genre, Field::Type, Field::Release, Field::Comment, Field::Plot};

/// Letters that do not decompose into a base letter and an accent, as people search for them.
const char* plainLetters(char32_t letter)
{
    switch (letter) {
    case U'\u00df':
        return "ss";
    case U'\u00e6':
        return "ae";
    case U'\u00f0':
        return "d";
    case U'\u00f8':
        return "o";
    case U'\u00fe':
        return "th";
    case U'\u0111':
        return "d";
    case U'\u0131':
        return "i";
    case U'\u0142':
        return "l";
    case U'\u0153':
        return "oe";
    default:
        return nullptr;
    }
}

QByteArray& appendFolded(QByteArray& out, QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (unit < 0x80) {
            out.append(static_cast<char>(unit >= 'A' && unit <= 'Z' ? unit + ('a' - 'A') : unit));
            continue;
        }
        char32_t letter = unit;
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            letter = QChar::surrogateToUcs4(unit, text[++i].unicode());
        letter = QChar::toCaseFolded(letter);
        // A letter with accents searches as its base letter.
        while (QChar::decompositionTag(letter) == QChar::Canonical) {
            const QString parts = QChar::decomposition(letter);
            const bool accents = std::all_of(parts.begin() + 1, parts.end(), [](QChar part) {
                return part.category() == QChar::Mark_NonSpacing;
            });
            if (parts.isEmpty() || parts.at(0).isSurrogate() || !accents)
                break;
            letter = QChar::toCaseFolded(char32_t(parts.at(0).unicode()));
        }
        if (QChar::category(letter) == QChar::Mark_NonSpacing)
            continue; // an accent typed on its own after its letter
        if (const char* plain = plainLetters(letter)) {
            out.append(plain);
            continue;
        }
        const char32_t one[] = {letter};
        out.append(QString::fromUcs4(one, 1).toUtf8());
    }
    return out;
}

} // namespace

FilmSearch::FilmSearch(const Catalogue& catalogue, QObject* parent)
    : QObject(parent)
    , m_catalogue(catalogue)
{
    const auto inserted = [this](const QModelIndex&, int first, int last) {
        if (m_foldedIsStale)
            return;
        m_folded.insert(first, last - first + 1, QByteArray());
        refold(first, last);
    };
    const auto removed = [this](const QModelIndex&, int first, int last) {
        if (m_foldedIsStale)
            return;
        m_folded.remove(first, last - first + 1);
        m_joinedIsStale = true;
    };
    const auto changed = [this](const QModelIndex& from, const QModelIndex& to) {
        if (!m_foldedIsStale)
            refold(from.row(), to.row());
    };
    connect(&catalogue, &QAbstractItemModel::rowsInserted, this, inserted);
    connect(&catalogue, &QAbstractItemModel::rowsRemoved, this, removed);
    connect(&catalogue, &QAbstractItemModel::dataChanged, this, changed);
    // A load, or other extra fields, fold nothing: the next search does.
    connect(&catalogue, &QAbstractItemModel::modelReset, this, [this] { m_foldedIsStale = true; });
    connect(&catalogue, &Catalogue::extraFieldsChanged, this, [this] { m_foldedIsStale = true; });
}

QByteArray FilmSearch::fold(QStringView text)
{
    QByteArray folded;
    folded.reserve(text.size());
    appendFolded(folded, text);
    return folded;
}

QList<QByteArray> FilmSearch::words(QStringView search)
{
    QList<QByteArray> words;
    const QString spaced = search.toString().simplified();
    for (const QStringView word : QStringView(spaced).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QByteArray folded = fold(word);
        if (!folded.isEmpty())
            words.append(folded);
    }
    return words;
}

void FilmSearch::refold(int first, int last)
{
    // The extra fields of text, of any length; numbers, ratings, yes/no and dates are no words.
    QList<qsizetype> texts;
    const ExtraFields& fields = m_catalogue.extraFields();
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (fields[i].kind == ExtraKind::Text || fields[i].kind == ExtraKind::LongText)
            texts.append(i);
    }
    m_folded.resize(m_catalogue.count());
    for (int position = first; position <= last; ++position) {
        QByteArray& folded = m_folded[position];
        folded.clear();
        const FilmRecord& film = m_catalogue.at(position);
        // No word of a search holds a line break, so none is found across two fields.
        for (Field field : SearchedFields)
            appendFolded(folded, film[field]).append('\n');
        for (qsizetype field : std::as_const(texts))
            appendFolded(folded, film.extraValue(field)).append('\n');
    }
    m_joinedIsStale = true;
}

void FilmSearch::joinFolded()
{
    qsizetype size = 0;
    for (const QByteArray& folded : std::as_const(m_folded))
        size += folded.size() + 1;
    m_joined.clear();
    m_joined.reserve(size);
    m_starts.clear();
    m_starts.reserve(m_folded.size() + 1);
    for (const QByteArray& folded : std::as_const(m_folded)) {
        m_starts.push_back(m_joined.size());
        m_joined.append(folded);
        m_joined.append('\0');
    }
    m_starts.push_back(m_joined.size());
    m_joinedIsStale = false;
}

std::vector<bool> FilmSearch::matches(QStringView search)
{
    const QList<QByteArray> searched = words(search);
    std::vector<bool> shown(static_cast<size_t>(m_catalogue.count()), true);
    if (searched.isEmpty())
        return shown;
    if (m_foldedIsStale) {
        m_folded.clear();
        refold(0, m_catalogue.lastIndex());
        m_foldedIsStale = false;
    }
    if (m_joinedIsStale)
        joinFolded();
    // One pass over all the films for each word, going on from the next film at each find.
    const char* const begin = m_joined.constData();
    const qsizetype size = m_joined.size();
    for (const QByteArray& word : searched) {
        std::vector<bool> holds(shown.size(), false);
        qsizetype from = 0;
        while (const void* found = memmem(begin + from, size - from, word.constData(), word.size())) {
            const qsizetype offset = static_cast<const char*>(found) - begin;
            const auto film =
                std::upper_bound(m_starts.begin(), m_starts.end(), offset) - m_starts.begin() - 1;
            holds[static_cast<size_t>(film)] = true;
            from = m_starts[static_cast<size_t>(film) + 1];
        }
        for (size_t i = 0; i < shown.size(); ++i)
            shown[i] = shown[i] && holds[i];
    }
    return shown;
}

} // namespace reelkeep
