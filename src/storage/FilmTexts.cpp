// Decoding the texts of a list file's films, shared where they recur.
#include "storage/FilmTexts.h"

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

QString filmFieldName(const FilmRecord& film, qsizetype position, Field field)
{
    constexpr qsizetype Shown = 40;
    const QString& title = film.title();
    return QStringLiteral("the %1 of film %2 (\"%3\")")
        .arg(fieldName(field))
        .arg(position + 1)
        .arg(title.size() <= Shown ? title : title.left(Shown) + QChar(0x2026));
}

} // namespace reelkeep
