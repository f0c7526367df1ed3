// The prescan for a template's declared character set.
#include "pagegen/TemplateCharset.h"

#include "text/Utf8.h"

#include <QByteArray>

namespace reelkeep {

namespace {

constexpr qsizetype PrescanLength = 1024;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '/';
}

bool isUtf8Label(QByteArray label)
{
    label = label.trimmed().toLower();
    return label == "utf-8" || label == "utf8" || label == "unicode-1-1-utf-8";
}

// The charset named in a Content-Type value: what follows "charset", an "=", optionally quoted.
QByteArray charsetOfContent(const QByteArray& content)
{
    const QByteArray lowered = content.toLower();
    const qsizetype at = lowered.indexOf("charset");
    if (at < 0)
        return {};
    qsizetype position = at + 7;
    while (position < lowered.size() && isSpace(lowered[position]))
        ++position;
    if (position >= lowered.size() || lowered[position] != '=')
        return {};
    ++position;
    while (position < lowered.size() && isSpace(lowered[position]))
        ++position;
    QByteArray value = lowered.mid(position);
    if (!value.isEmpty() && (value[0] == '"' || value[0] == '\'')) {
        const qsizetype end = value.indexOf(value[0], 1);
        return end < 0 ? QByteArray() : value.mid(1, end - 1);
    }
    const qsizetype end = value.indexOf(';');
    return end < 0 ? value : value.left(end);
}

// Reads the attributes of one tag from `position` (after its name) up to its ">".
class AttributeReader
{
public:
    AttributeReader(QByteArrayView bytes, qsizetype position)
        : m_bytes(bytes)
        , m_position(position)
    {}

    qsizetype position() const { return m_position; }

    /// The next attribute's lower-case name and its value; false at the end of the tag.
    bool next(QByteArray& name, QByteArray& value)
    {
        while (m_position < m_bytes.size() && isSpace(m_bytes[m_position]))
            ++m_position;
        if (m_position >= m_bytes.size() || m_bytes[m_position] == '>')
            return false;
        name.clear();
        value.clear();
        while (m_position < m_bytes.size() && !isSpace(m_bytes[m_position]) && m_bytes[m_position] != '=' &&
               m_bytes[m_position] != '>')
            name.append(char(std::tolower(static_cast<unsigned char>(m_bytes[m_position++]))));
        while (m_position < m_bytes.size() && isSpace(m_bytes[m_position]))
            ++m_position;
        if (m_position >= m_bytes.size() || m_bytes[m_position] != '=')
            return true;
        ++m_position;
        while (m_position < m_bytes.size() && isSpace(m_bytes[m_position]))
            ++m_position;
        if (m_position < m_bytes.size() && (m_bytes[m_position] == '"' || m_bytes[m_position] == '\'')) {
            const char quote = m_bytes[m_position++];
            while (m_position < m_bytes.size() && m_bytes[m_position] != quote)
                value.append(m_bytes[m_position++]);
            ++m_position;
        } else {
            while (m_position < m_bytes.size() && !isSpace(m_bytes[m_position]) && m_bytes[m_position] != '>')
                value.append(m_bytes[m_position++]);
        }
        return true;
    }

private:
    QByteArrayView m_bytes;
    qsizetype m_position;
};

// Whether the meta element whose attributes start at `position` declares UTF-8.
bool metaDeclaresUtf8(QByteArrayView bytes, qsizetype position)
{
    AttributeReader attributes(bytes, position);
    QByteArray name;
    QByteArray value;
    bool contentType = false;
    QByteArray charset;
    QByteArray contentCharset;
    while (attributes.next(name, value)) {
        if (name == "charset" && charset.isEmpty())
            charset = value;
        else if (name == "http-equiv")
            contentType = value.trimmed().toLower() == "content-type";
        else if (name == "content" && contentCharset.isEmpty())
            contentCharset = charsetOfContent(value);
    }
    // A charset attribute decides; otherwise a Content-Type's charset does.
    if (!charset.isEmpty())
        return isUtf8Label(charset);
    return contentType && isUtf8Label(contentCharset);
}

} // namespace

bool declaresUtf8(QByteArrayView templateBytes)
{
    if (templateBytes.startsWith(Utf8ByteOrderMark))
        return true;
    const QByteArray head = templateBytes.first(std::min(templateBytes.size(), PrescanLength)).toByteArray();
    const QByteArray lowered = head.toLower();
    qsizetype position = 0;
    while (position < lowered.size()) {
        if (lowered.sliced(position).startsWith("<!--")) {
            const qsizetype end = lowered.indexOf("-->", position + 4);
            if (end < 0)
                return false;
            position = end + 3;
        } else if (lowered.sliced(position).startsWith("<meta") && position + 5 < lowered.size() &&
                   isSpace(lowered[position + 5])) {
            if (metaDeclaresUtf8(head, position + 5))
                return true;
            position += 5;
        } else {
            ++position;
        }
    }
    return false;
}

} // namespace reelkeep
