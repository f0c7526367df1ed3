// Decoding the texts of a list file's films, shared where they recur.
#include "storage/FilmTexts.h"

#include "storage/Utf8.h"
#include "storage/Windows1252.h"

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

} // namespace reelkeep
