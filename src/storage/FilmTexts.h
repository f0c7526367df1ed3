// The texts of a list file's films as the file is read.
#pragma once

#include "catalogue/FilmRecord.h"
#include "storage/RepeatedTexts.h"

#include <QByteArrayView>
#include <QString>

#include <array>

namespace reelkeep {

/// Turns the bytes of each field of each film into its text. A short text that recurs in a field
/// is shared by the films that have it (RepeatedTexts); every other text is decoded into memory of
/// its own.
class FilmTexts
{
public:
    explicit FilmTexts(bool utf8)
        : m_utf8(utf8)
    {}

    /// Gives `text` the text of the bytes of field number `field`. True when the bytes, read as
    /// UTF-8, were not well-formed; a text shared with an earlier film said so for that film.
    bool read(int field, QByteArrayView bytes, QString& text);

private:
    QString decode(QByteArrayView bytes, bool& malformed) const;

    bool m_utf8;
    std::array<RepeatedTexts, FieldCount> m_repeated;
};

/// A text as a message shows it: shortened to its first 40 characters, never half of one, so that an
/// overlong one cannot flood the message.
QString shownInMessage(QStringView text);

/// "the cast of film 3 ("Alien")": a field of a film in a message, the title shortened so that an
/// overlong one cannot flood it.
QString filmFieldName(const FilmRecord& film, qsizetype position, Field field);

} // namespace reelkeep
