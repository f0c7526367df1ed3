// The texts of a list file's films as the file is read.
#pragma once

#include "catalogue/FilmRecord.h"
#include "storage/RepeatedTexts.h"

#include <QByteArrayView>
#include <QString>

#include <array>
#include <vector>

namespace reelkeep {

/// Turns the bytes of each field of each film into its text. A short text that recurs in a field
/// is shared by the films that have it (RepeatedTexts). In a Windows-1252 file the other texts of
/// a film are decoded together into one block of memory, each a text of its own that points into
/// the block and counts as one of its users: a film costs one allocation instead of one for each
/// text, and less memory. A text changed later gets memory of its own, as any shared text does,
/// and the block goes with the last text that uses it.
class FilmTexts
{
public:
    explicit FilmTexts(bool utf8)
        : m_utf8(utf8)
    {}

    /// Gives `text` the text of the bytes of field number `field`, now or at endFilm(); `text`
    /// must stay where it is until then.
    void read(int field, QByteArrayView bytes, QString& text);
    /// Gives the texts of the film read since the last call their block.
    void endFilm();

private:
    struct Noted
    {
        QString* text;
        qsizetype offset;
        qsizetype length;
    };

    QString decode(QByteArrayView bytes) const;

    bool m_utf8;
    std::array<RepeatedTexts, FieldCount> m_repeated;
    /// The bytes of the film's texts noted for its block, one after another.
    std::vector<char> m_bytes;
    std::vector<Noted> m_noted;
};

} // namespace reelkeep
