// UTF-8 decoding that keeps a leading U+FEFF.
#include "storage/Utf8.h"

#include <QStringDecoder>

namespace reelkeep {

QString decodeUtf8(QByteArrayView bytes)
{
    // QString::fromUtf8 drops a U+FEFF at the start of what it decodes, which would lose the first
    // character of a text that begins with one. The decoder keeps it when told to; stateless, it
    // turns a sequence cut short at the end into U+FFFD as QString::fromUtf8 does.
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

} // namespace reelkeep
