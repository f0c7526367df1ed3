// Decoding the texts of a list file's films, shared where they recur.
#include "storage/FilmTexts.h"

#include "text/Characters.h"
#include "text/Utf8.h"
#include "text/Windows1252.h"

namespace reelkeep {

bool FilmTexts::read(int field, QByteArrayView bytes, QString& text)
{
    bool malformed = false;
    text = m_repeated[size_t(field)].text(bytes,
                                          [&](QByteArrayView unseen) { return decode(unseen, malformed); });
    return malformed;
}

QString FilmTexts::decode(QByteArrayView bytes, bool& malformed) const
{
    return m_utf8 ? decodeUtf8(bytes, &malformed) : decodeWindows1252(bytes);
}

QString shownInMessage(QStringView text)
{
    constexpr qsizetype Shown = 40;
    const QStringView shown = firstCharacters(text, Shown);
    return shown.size() == text.size() ? text.toString() : shown.toString() + QChar(0x2026);
}

QString filmFieldName(const FilmRecord& film, qsizetype position, Field field)
{
    return QStringLiteral("the %1 of film %2 (\"%3\")")
        .arg(fieldName(field))
        .arg(position + 1)
        .arg(shownInMessage(film.title()));
}

} // namespace reelkeep
