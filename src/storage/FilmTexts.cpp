// Decoding the texts of a list file's films, shared where they recur.
#include "storage/FilmTexts.h"

#include "storage/Utf8.h"
#include "storage/Windows1252.h"

namespace reelkeep {

void FilmTexts::read(int field, QByteArrayView bytes, QString& text)
{
    text = m_repeated[size_t(field)].text(bytes, [this](QByteArrayView unseen) { return decode(unseen); });
}

QString FilmTexts::decode(QByteArrayView bytes) const
{
    return m_utf8 ? decodeUtf8(bytes) : decodeWindows1252(bytes);
}

} // namespace reelkeep
