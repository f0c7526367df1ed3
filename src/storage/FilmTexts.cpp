// Decoding the texts of a list file's films, shared where they recur and a film's together.
#include "storage/FilmTexts.h"

#include "storage/Utf8.h"
#include "storage/Windows1252.h"

namespace reelkeep {

void FilmTexts::read(int field, QByteArrayView bytes, QString& text)
{
    RepeatedTexts& repeated = m_repeated[size_t(field)];
    if (m_utf8 || bytes.isEmpty() || repeated.looksUp(bytes)) {
        text = repeated.text(bytes, [this](QByteArrayView recurring) { return decode(recurring); });
        return;
    }
    m_noted.push_back({&text, qsizetype(m_bytes.size()), bytes.size()});
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
}

void FilmTexts::endFilm()
{
    if (m_noted.empty())
        return;
    // Each text ends in a NUL, as the characters of every QString do.
    const auto units = qsizetype(m_bytes.size() + m_noted.size());
    auto [block, characters] = QTypedArrayData<char16_t>::allocate(units);
    Q_CHECK_PTR(block);
    // The block comes with one user, the first text; each other text is one more.
    bool first = true;
    for (const Noted& noted : m_noted) {
        decodeWindows1252Into(QByteArrayView(m_bytes.data() + noted.offset, noted.length),
                              reinterpret_cast<QChar*>(characters));
        characters[noted.length] = u'\0';
        if (!first)
            block->ref();
        first = false;
        *noted.text = QString(QString::DataPointer(block, characters, noted.length));
        characters += noted.length + 1;
    }
    m_noted.clear();
    m_bytes.clear();
}

QString FilmTexts::decode(QByteArrayView bytes) const
{
    return m_utf8 ? decodeUtf8(bytes) : decodeWindows1252(bytes);
}

} // namespace reelkeep
