// Texts made safe for the page: element text and attribute values, and addresses for links.
#pragma once

#include <QString>

namespace reelkeep {

/// The text with "&", "<", ">", '"' and "'" written as "&amp;", "&lt;", "&gt;", "&quot;" and
/// "&#39;": safe in element text and in quoted attribute values. The characters no HTML page may
/// hold are left out: control characters other than tab, line feed, form feed and carriage
/// return, and the noncharacters U+FDD0 to U+FDEF, U+FFFE and U+FFFF. A text with none of them is
/// given back as it is, sharing its characters.
QString htmlEscaped(const QString& text);

/// An address ready for a quoted href or src attribute, or the empty text for one a link must not
/// lead to. Spaces and control characters around it are dropped. Its scheme is the text before
/// the first ":" that comes before any "/", "?" or "#", compared without case: http, https and
/// mailto are kept, every other one (javascript:, data:, file:...) is refused, and so is an http
/// or https address that leads to no host: one without "//", with an empty host, a host that is
/// not a name of letters, digits, "-", "." and "_" (or an IPv6 address in brackets), or a port
/// that is not digits. An address without a scheme is a relative path, whose "\" become "/",
/// unless it begins with two slashes or backslashes (another host: refused). Spaces, quotes, "<",
/// ">", control characters and every character beyond ASCII (as its UTF-8 bytes) are
/// percent-encoded, a "%" that begins no "%XX" too, and "&" is written "&amp;". An address that
/// needs none of this is given back as it is.
QString linkAddress(const QString& address);

/// The local file a film's Source names: a path relative to listFolder (with "\" read as "/"), a
/// full path or a file: address, cleaned. With no listFolder (a list not saved to a file) a
/// relative path stays relative. A blank Source or any other address (https:...) gives the empty
/// text: a web address is never a file on this computer.
QString sourceFile(const QString& source, const QString& listFolder);

/// The address, from a page in pageFolder, of the image a film's Source names. A local file (a
/// path relative to listFolder, with "\" read as "/", a full path or a file: address) gives its
/// path relative to pageFolder, percent-encoded; with no listFolder (a list not saved to a file)
/// a relative path stays as written, percent-encoded. Any other address (https:...) is given back
/// as it is, trimmed, for linkAddress() to judge; so is the file: address of a file that no
/// relative path reaches (on another drive). A blank Source gives the empty text.
QString pageImageAddress(const QString& source, const QString& listFolder, const QString& pageFolder);

/// pageImageAddress() for the films of one list and one page. The way from the page's folder to the
/// list's is found once: the usual Source, a plain relative path (no scheme, drive, backslash, "."
/// or ".." part), then costs one percent-encoding instead of two walks over folder names.
class PageImageAddresses
{
public:
    PageImageAddresses(const QString& listFolder, const QString& pageFolder);
    QString operator()(const QString& source) const;

private:
    QString m_listFolder;
    QString m_pageFolder;
    /// The list's folder as a path from the page's, ending in "/" (empty when they are one); null
    /// when no relative path leads there (another drive) or the list has no folder.
    QString m_listFromPage;
};

} // namespace reelkeep
