// Escaping texts for HTML and checking addresses before they become links.
#include "pagegen/HtmlText.h"

#include <QDir>
#include <QLatin1StringView>
#include <QUrl>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <utility>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace reelkeep {

namespace {

// The characters HTML gives a meaning to in text and in quoted attribute values, all below 64,
// and how each is written.
constexpr std::pair<char16_t, QLatin1StringView> HtmlReferences[] = {
    {u'&', QLatin1StringView("&amp;")},
    {u'<', QLatin1StringView("&lt;")},
    {u'>', QLatin1StringView("&gt;")},
    {u'"', QLatin1StringView("&quot;")},
    {u'\'', QLatin1StringView("&#39;")},
};

constexpr std::uint64_t HtmlSpecial = [] {
    std::uint64_t bits = 0;
    for (const auto& [character, reference] : HtmlReferences)
        bits |= std::uint64_t(1) << character;
    return bits;
}();

// Characters no HTML page may hold, not even as references: the control characters other than
// tab, line feed, form feed and carriage return, and the noncharacters U+FDD0 to U+FDEF, U+FFFE
// and U+FFFF.
constexpr std::uint32_t AllowedControls = 1u << u'\t' | 1u << u'\n' | 1u << u'\f' | 1u << u'\r';

bool isForbiddenInHtml(char16_t character)
{
    if (character < 0x20)
        return (AllowedControls >> character & 1) == 0;
    return (character >= 0x7F && character <= 0x9F) || (character >= 0xFDD0 && character <= 0xFDEF) ||
           character >= 0xFFFE;
}

// Markup, or a character the page cannot hold.
bool isHtmlSpecial(char16_t character)
{
    return (character < 64 && (HtmlSpecial >> character & 1) != 0) || isForbiddenInHtml(character);
}

QLatin1StringView htmlReference(char16_t character)
{
    for (const auto& [special, reference] : HtmlReferences)
        if (special == character)
            return reference;
    return QLatin1StringView();
}

#ifdef __SSE2__
// Which of eight code units lie from `low` to `high`.
__m128i within(__m128i units, char16_t low, char16_t high)
{
    const __m128i above =
        _mm_subs_epu16(_mm_sub_epi16(units, _mm_set1_epi16(short(low))), _mm_set1_epi16(short(high - low)));
    return _mm_cmpeq_epi16(above, _mm_setzero_si128());
}
#endif

// The first character of markup, or that the page cannot hold, from `from` on, or `end`: most
// texts have none, and are looked through eight code units at a time.
const QChar* findHtmlSpecial(const QChar* from, const QChar* end)
{
#ifdef __SSE2__
    for (; end - from >= 8; from += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        __m128i found = _mm_setzero_si128();
        for (const auto& [character, reference] : HtmlReferences)
            found = _mm_or_si128(found, _mm_cmpeq_epi16(units, _mm_set1_epi16(short(character))));
        __m128i allowedControls = _mm_setzero_si128();
        for (const char16_t control : {u'\t', u'\n', u'\f', u'\r'})
            allowedControls =
                _mm_or_si128(allowedControls, _mm_cmpeq_epi16(units, _mm_set1_epi16(short(control))));
        found = _mm_or_si128(found, _mm_andnot_si128(allowedControls, within(units, 0, 0x1F)));
        found = _mm_or_si128(found, within(units, 0x7F, 0x9F));
        found = _mm_or_si128(found, within(units, 0xFDD0, 0xFDEF));
        found = _mm_or_si128(found, within(units, 0xFFFE, 0xFFFF));
        if (const int mask = _mm_movemask_epi8(found); mask != 0)
            return from + std::countr_zero(unsigned(mask)) / 2;
    }
#endif
    while (from != end && !isHtmlSpecial(from->unicode()))
        ++from;
    return from;
}

// The ASCII characters an address cannot hold as they stand in a quoted attribute: spaces and
// control characters, quotes, angle brackets and "&"; "%" and "\" depend on what follows them and
// on the scheme.
constexpr std::array<bool, 128> NotAsTheyStand = [] {
    std::array<bool, 128> marked{};
    for (int c = 0; c <= ' '; ++c)
        marked[size_t(c)] = true;
    for (const char c : {'"', '\'', '<', '>', '&', '%', '\\', '\x7F'})
        marked[size_t(c)] = true;
    return marked;
}();

// Spaces and the control characters below them, which browsers drop around an address.
bool isBlank(QChar character)
{
    return character.unicode() <= u' ';
}

bool isHexDigit(QChar character)
{
    const char16_t c = character.unicode();
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool isSlash(QChar character)
{
    return character == u'/' || character == u'\\';
}

// ASCII letters alone: another script's letter that lowers to one of them names no scheme.
bool equalsIgnoringAsciiCase(QStringView text, QLatin1StringView lower)
{
    if (text.size() != lower.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const char16_t lowered = c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
        if (lowered != char16_t(lower[i].unicode()))
            return false;
    }
    return true;
}

enum class Scheme
{
    None,
    Linkable,
    Refused,
};

// The text before the first ":" that comes before any "/", "?" or "#": the address's scheme, or
// nothing.
QStringView schemeText(QStringView address)
{
    for (qsizetype i = 0; i < address.size(); ++i) {
        const QChar character = address[i];
        if (character == u'/' || character == u'?' || character == u'#')
            return {};
        if (character == u':')
            return address.first(i);
    }
    return {};
}

bool isAsciiDigit(QChar character)
{
    return character >= u'0' && character <= u'9';
}

// A host's name: ASCII letters, digits, "-", "." and "_", and characters beyond ASCII (a name in
// another script, which url() writes as UTF-8 bytes and browsers read back).
bool isHostName(QStringView name)
{
    return !name.isEmpty() && std::all_of(name.begin(), name.end(), [](QChar c) {
        const char16_t unit = c.unicode();
        return unit >= 0x80 || (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z') ||
               isAsciiDigit(c) || unit == u'-' || unit == u'.' || unit == u'_';
    });
}

// Whether what follows "http:" or "https:" leads to a host: two slashes, then the host after any
// "user@": a name, or an IPv6 address in brackets, and a port of digits or none.
bool leadsToAHost(QStringView afterScheme)
{
    if (!afterScheme.startsWith(u"//"))
        return false;
    QStringView authority = afterScheme.sliced(2);
    for (qsizetype at = 0; at < authority.size(); ++at) {
        if (authority[at] == u'/' || authority[at] == u'?' || authority[at] == u'#' ||
            authority[at] == u'\\') {
            authority.truncate(at);
            break;
        }
    }
    authority = authority.sliced(authority.lastIndexOf(u'@') + 1);
    const qsizetype hostEnd =
        authority.startsWith(u'[') ? authority.indexOf(u']') + 1 : authority.indexOf(u':');
    const QStringView host = hostEnd > 0 ? authority.first(hostEnd) : authority;
    const QStringView port = authority.sliced(host.size());
    const bool ipv6 = host.size() > 2 && host.startsWith(u'[') && host.endsWith(u']') &&
                      std::all_of(host.begin() + 1, host.end() - 1, [](QChar c) {
                          return isHexDigit(c) || c == u':' || c == u'.';
                      });
    return (ipv6 || isHostName(host)) &&
           (port.isEmpty() ||
            (port.startsWith(u':') && std::all_of(port.begin() + 1, port.end(), isAsciiDigit)));
}

Scheme schemeOf(QStringView address)
{
    const QStringView scheme = schemeText(address);
    if (scheme.isEmpty() && !address.startsWith(u':'))
        return Scheme::None;
    if (equalsIgnoringAsciiCase(scheme, QLatin1StringView("mailto")))
        return Scheme::Linkable;
    for (const char* web : {"http", "https"})
        if (equalsIgnoringAsciiCase(scheme, QLatin1StringView(web)))
            return leadsToAHost(address.sliced(scheme.size() + 1)) ? Scheme::Linkable : Scheme::Refused;
    return Scheme::Refused;
}

bool beginsPercentEscape(QStringView address, qsizetype at)
{
    return at + 2 < address.size() && isHexDigit(address[at + 1]) && isHexDigit(address[at + 2]);
}

// Whether the character at `at` is written otherwise than as it stands.
inline bool needsWriting(QStringView address, qsizetype at, bool relative)
{
    const char16_t c = address[at].unicode();
    if (c >= 0x80)
        return true;
    if (!NotAsTheyStand[c])
        return false;
    if (c == u'%')
        return !beginsPercentEscape(address, at);
    return c != u'\\' || relative;
}

void appendPercentEncoded(QString& out, std::uint8_t byte)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    const char16_t escape[3] = {u'%', char16_t(Hex[byte >> 4]), char16_t(Hex[byte & 0xF])};
    out.append(reinterpret_cast<const QChar*>(escape), 3);
}

// A character beyond ASCII as the percent-encoded bytes of its UTF-8 form; a lone surrogate half
// as U+FFFD. Returns how many code units it took.
qsizetype appendUtf8Encoded(QString& out, QStringView address, qsizetype at)
{
    char32_t code = address[at].unicode();
    qsizetype taken = 1;
    if (QChar::isHighSurrogate(code) && at + 1 < address.size() && address[at + 1].isLowSurrogate()) {
        code = QChar::surrogateToUcs4(address[at], address[at + 1]);
        taken = 2;
    } else if (QChar::isSurrogate(code)) {
        code = QChar::ReplacementCharacter;
    }
    std::array<std::uint8_t, 4> bytes{};
    int count = 0;
    if (code < 0x800) {
        bytes = {std::uint8_t(0xC0 | code >> 6), std::uint8_t(0x80 | (code & 0x3F))};
        count = 2;
    } else if (code < 0x10000) {
        bytes = {std::uint8_t(0xE0 | code >> 12),
                 std::uint8_t(0x80 | (code >> 6 & 0x3F)),
                 std::uint8_t(0x80 | (code & 0x3F))};
        count = 3;
    } else {
        bytes = {std::uint8_t(0xF0 | code >> 18),
                 std::uint8_t(0x80 | (code >> 12 & 0x3F)),
                 std::uint8_t(0x80 | (code >> 6 & 0x3F)),
                 std::uint8_t(0x80 | (code & 0x3F))};
        count = 4;
    }
    for (int i = 0; i < count; ++i)
        appendPercentEncoded(out, bytes[size_t(i)]);
    return taken;
}

} // namespace

QString htmlEscaped(const QString& text)
{
    const QChar* run = text.constData();
    const QChar* const end = run + text.size();
    const QChar* special = findHtmlSpecial(run, end);
    if (special == end)
        return text;
    QString escaped;
    escaped.reserve(text.size() + text.size() / 8 + 8);
    for (; special != end; special = findHtmlSpecial(run, end)) {
        escaped.append(run, special - run);
        // A character the page cannot hold is left out: no reference to it is allowed either.
        escaped.append(htmlReference(special->unicode()));
        run = special + 1;
    }
    escaped.append(run, end - run);
    return escaped;
}

QString linkAddress(const QString& address)
{
    qsizetype begin = 0;
    qsizetype end = address.size();
    while (begin < end && isBlank(address[begin]))
        ++begin;
    while (end > begin && isBlank(address[end - 1]))
        --end;
    const QStringView kept = QStringView(address).sliced(begin, end - begin);
    const Scheme scheme = schemeOf(kept);
    const bool relative = scheme == Scheme::None;
    // "//host" and "\\host" lead to another host whatever the page's own scheme.
    if (scheme == Scheme::Refused || (relative && kept.size() >= 2 && isSlash(kept[0]) && isSlash(kept[1])))
        return QString();
    qsizetype first = 0;
    while (first < kept.size() && !needsWriting(kept, first, relative))
        ++first;
    if (first == kept.size())
        return kept.size() == address.size() ? address : kept.toString();
    QString written;
    written.reserve(kept.size() + 16);
    for (qsizetype at = first, run = 0; at < kept.size(); run = at) {
        while (at < kept.size() && !needsWriting(kept, at, relative))
            ++at;
        written.append(kept.sliced(run, at - run));
        if (at == kept.size())
            break;
        const QChar character = kept[at];
        if (character == u'&')
            written.append(QLatin1StringView("&amp;"));
        else if (character == u'\\')
            written.append(u'/');
        else if (character.unicode() >= 0x80)
            at += appendUtf8Encoded(written, kept, at) - 1;
        else
            appendPercentEncoded(written, std::uint8_t(character.unicode()));
        ++at;
    }
    return written;
}

namespace {

// A path of names under its folder alone: nothing that trimming or cleaning the path would change,
// and nothing that another rule reads (a scheme, a drive, a backslash).
bool isPlainRelativePath(QStringView path)
{
    if (path.isEmpty() || path.front().isSpace() || path.back().isSpace() || path.front() == u'/' ||
        path.back() == u'/' || path.contains(u':') || path.contains(u'\\'))
        return false;
    for (const QStringView part : path.tokenize(u'/')) {
        if (part.isEmpty() || part == u"." || part == u"..")
            return false;
    }
    return true;
}

// A path as an address: every byte of its UTF-8 form percent-encoded but ASCII letters, digits,
// "-", ".", "_", "~" and "/". Most paths hold nothing else, and come back as they are, uncopied.
QString percentEncodedPath(const QString& path)
{
    const bool asItStands = std::all_of(path.begin(), path.end(), [](QChar character) {
        const char16_t c = character.unicode();
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
               c == u'-' || c == u'.' || c == u'_' || c == u'~' || c == u'/';
    });
    return asItStands ? path : QString::fromLatin1(QUrl::toPercentEncoding(path, "/"));
}

} // namespace

PageImageAddresses::PageImageAddresses(const QString& listFolder, const QString& pageFolder)
    : m_listFolder(listFolder)
    , m_pageFolder(pageFolder)
{
    if (listFolder.isEmpty())
        return;
    const QString way = QDir(pageFolder).relativeFilePath(listFolder);
    if (QDir::isAbsolutePath(way))
        return;
    m_listFromPage = way == u"." || way.isEmpty() ? QStringLiteral("") : way + u'/';
}

QString PageImageAddresses::operator()(const QString& source) const
{
    if (!m_listFromPage.isNull() && isPlainRelativePath(source))
        return percentEncodedPath(m_listFromPage.isEmpty() ? source : m_listFromPage + source);
    return pageImageAddress(source, m_listFolder, m_pageFolder);
}

QString sourceFile(const QString& source, const QString& listFolder)
{
    const QString text = source.trimmed();
    const QStringView scheme = schemeText(text);
    // A one-letter scheme is a drive ("C:\Posters\..."), a path on this computer.
    const bool file = equalsIgnoringAsciiCase(scheme, QLatin1StringView("file"));
    if (text.isEmpty() || (scheme.size() > 1 && !file))
        return {};
    QString path = file ? QUrl(text).toLocalFile() : QString(text).replace(u'\\', u'/');
    if (QDir::isRelativePath(path) && !listFolder.isEmpty())
        path = QDir::cleanPath(listFolder + u'/' + path);
    return path;
}

QString pageImageAddress(const QString& source, const QString& listFolder, const QString& pageFolder)
{
    QString path = sourceFile(source, listFolder);
    if (path.isEmpty())
        return source.trimmed();
    if (QDir::isAbsolutePath(path)) {
        const QString relative = QDir(pageFolder).relativeFilePath(path);
        if (QDir::isAbsolutePath(relative))
            return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
        path = relative;
    }
    return percentEncodedPath(path);
}

} // namespace reelkeep
