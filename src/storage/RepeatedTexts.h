// Short texts that recur from film to film in one field, such as years, media types and genres,
// decoded once and shared by every film that has them.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>

namespace reelkeep {

/// The texts of one field as a list file is read. A repeat of a short text costs a look-up instead
/// of an allocation, and the films share one copy of it (QString shares its data until a copy is
/// changed). A field where fewer than a quarter of the first look-ups find a repeat, such as titles,
/// is no longer looked up.
class RepeatedTexts
{
public:
    /// The text of bytes: the one read before from the same bytes, or decode(bytes).
    template <typename Decode> QString text(QByteArrayView bytes, Decode decode)
    {
        if (!looksUp(bytes))
            return decode(bytes);
        ++m_lookUps;
        const auto found = m_texts.constFind(QByteArray::fromRawData(bytes.data(), bytes.size()));
        if (found != m_texts.constEnd()) {
            ++m_repeats;
            return *found;
        }
        QString text = decode(bytes);
        if (m_texts.size() < MaxTexts)
            m_texts.insert(bytes.toByteArray(), text);
        if (m_lookUps == Trial)
            m_lookingUp = m_repeats * 4 >= m_lookUps;
        return text;
    }

    /// Whether text() looks the bytes up rather than decoding them at once.
    bool looksUp(QByteArrayView bytes) const
    {
        return m_lookingUp && !bytes.isEmpty() && bytes.size() <= MaxLength;
    }

private:
    // Longer texts (plots, casts, links) seldom repeat.
    static constexpr qsizetype MaxLength = 32;
    static constexpr qsizetype Trial = 256;
    static constexpr qsizetype MaxTexts = 4096;

    QHash<QByteArray, QString> m_texts;
    qsizetype m_lookUps = 0;
    qsizetype m_repeats = 0;
    bool m_lookingUp = true;
};

} // namespace reelkeep
