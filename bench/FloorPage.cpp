// The default page of a catalogue written straight from its films by plain C++, without the
// template engine: the floor under what making the page can cost. It writes the very bytes the
// default templates make (bench/page compares them), loading the list, sorting and escaping as the
// page generator does, and taking the style sheet, the script and the letter tables from the
// templates as they are.
//   reelkeep_floor_page LISTFILE OUTPUT TEMPLATEDIR
#include "cli/HugePageHeap.h"
#include "pagegen/HtmlText.h"
#include "pagegen/PageEncoding.h"
#include "pagegen/PageOrder.h"
#include "storage/ListFile.h"
#include "value/Compare.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string_view>
#include <vector>

using namespace reelkeep;

namespace {

// The page file, written a buffer at a time as the page generator writes it.
class Page
{
public:
    explicit Page(const QString& path)
        : m_file(path)
        , m_buffer(BufferSize)
    {
        m_open = m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
    }
    ~Page() { flush(); }

    bool isOpen() const { return m_open; }

    void raw(std::string_view bytes)
    {
        room(qsizetype(bytes.size()));
        std::memcpy(m_buffer.data() + m_used, bytes.data(), bytes.size());
        m_used += qsizetype(bytes.size());
    }
    void text(QStringView text)
    {
        room(text.size() * MaxPageBytesPerUnit);
        m_used = writeUtf8Page(m_buffer.data() + m_used, text) - m_buffer.data();
    }
    void html(const QString& text) { this->text(htmlEscaped(text)); }
    void number(qsizetype number) { text(QString::number(number)); }

private:
    static constexpr qsizetype BufferSize = 1 << 17;

    void room(qsizetype bytes)
    {
        if (m_used + bytes > qsizetype(m_buffer.size()))
            flush();
        if (bytes > qsizetype(m_buffer.size()))
            m_buffer.resize(size_t(bytes));
    }
    void flush()
    {
        m_file.write(m_buffer.data(), m_used);
        m_used = 0;
    }

    QFile m_file;
    bool m_open = false;
    std::vector<char> m_buffer;
    qsizetype m_used = 0;
};

QString templateText(const QString& folder, const char* name)
{
    QFile file(folder + QLatin1Char('/') + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The text from `from` up to and with `to`.
QString cut(const QString& text, const QString& from, const QString& to)
{
    const qsizetype start = text.indexOf(from);
    const qsizetype end = text.indexOf(to, start);
    return start < 0 || end < 0 ? QString() : text.mid(start, end + to.size() - start);
}

// The quoted text literal that follows `marker`, its doubled quotes as one.
QString literalAfter(const QString& text, const QString& marker)
{
    QString literal;
    for (qsizetype at = text.indexOf(marker) + marker.size(); at < text.size(); ++at) {
        if (text[at] == u'\'' && (at + 1 >= text.size() || text[at + 1] != u'\''))
            break;
        literal += text[at];
        at += text[at] == u'\'' ? 1 : 0;
    }
    return literal;
}

const QString&
field(const QList<FilmRecord>& films, const QList<std::int16_t>& order, qsizetype place, Field which)
{
    return films[order[place - 1]][which];
}

// Runs of equal keys (StrComp's text mode) in the order, each found as the templates find it:
// fifteen halvings of the places after the run's first film.
void forEachGroup(qsizetype count,
                  const std::function<QString(qsizetype)>& keyAt,
                  const std::function<void(const QString&, qsizetype, qsizetype)>& group)
{
    for (qsizetype start = 1; start <= count;) {
        const QString key = keyAt(start);
        double end = double(start);
        double after = double(count + 1);
        for (int halving = 0; halving < 15; ++halving) {
            const double at = std::floor(end / 2 + after / 2);
            (compareStrings(keyAt(qsizetype(at)), key, CompareMode::Text) == 0 ? end : after) = at;
        }
        group(key, start, qsizetype(end));
        start = qsizetype(end) + 1;
    }
}

void writeFacet(Page& page, const QList<FilmRecord>& films, Field which, const char* name, const char* legend)
{
    const QList<std::int16_t> order = sortedPageOrder(films, {}, fieldName(which).toString(), true);
    page.raw("<fieldset>\n<legend>");
    page.raw(legend);
    page.raw("</legend>\n<div class=\"choices\">\n<label><input type=\"radio\" name=\"");
    page.raw(name);
    page.raw("\" value=\"\" checked><span>All <span class=\"n\">");
    page.number(order.size());
    page.raw("</span></span></label>\n");
    const auto keyAt = [&](qsizetype place) { return field(films, order, place, which); };
    forEachGroup(order.size(), keyAt, [&](const QString& key, qsizetype start, qsizetype end) {
        if (key.isEmpty())
            return;
        page.raw("<label><input type=\"radio\" name=\"");
        page.raw(name);
        page.raw("\" value=\"");
        page.html(key);
        page.raw("\"><span>");
        page.html(key);
        page.raw(" <span class=\"n\">");
        page.number(end - start + 1);
        page.raw("</span></span></label>\n");
    });
    page.raw("</div>\n</fieldset>\n");
}

void writeLetters(Page& page,
                  const QList<FilmRecord>& films,
                  const QList<std::int16_t>& byTitle,
                  const QString& letterKeys)
{
    const QString labels = literalAfter(letterKeys, QStringLiteral("mid('"));
    const QString initials = literalAfter(letterKeys, QStringLiteral("instr('"));
    const auto letterAt = [&](qsizetype place) {
        const QString& title = field(films, byTitle, place, Field::Title);
        return labels.mid(title.isEmpty() ? 1 : initials.indexOf(title[0]) + 1, 1);
    };
    page.raw("<nav class=\"letters wide\" id=\"letters\" aria-label=\"Titles by first letter\">\n");
    forEachGroup(byTitle.size(), letterAt, [&](const QString& letter, qsizetype start, qsizetype) {
        page.raw("<a href=\"#film-");
        page.number(start);
        page.raw("\">");
        // Titles in scripts without a letter of the index are filed under an ellipsis, named in words.
        if (letter == u"\u2026")
            page.raw("Other scripts");
        else
            page.text(letter);
        page.raw("</a>\n");
    });
    page.raw("</nav>\n");
}

// ' href="ADDRESS"' for an address a link may lead to.
void writeHref(Page& page, const QString& address)
{
    const QString linked = linkAddress(address);
    if (linked.isEmpty())
        return;
    page.raw(" href=\"");
    page.text(linked);
    page.raw("\"");
}

void writeFilm(Page& page, const FilmRecord& film, qsizetype place, const PageImageAddresses& imageAddresses)
{
    page.raw("<article class=\"film\" id=\"film-");
    page.number(place);
    page.raw("\">");
    const bool untitled = film[Field::Title].isEmpty();
    const QString image = linkAddress(imageAddresses(film[Field::ImgSrc]));
    if (!image.isEmpty()) {
        page.raw("<a class=\"poster\"");
        writeHref(page, film[Field::ImgLink]);
        page.raw("><img src=\"");
        page.text(image);
        page.raw("\" alt=\"");
        page.html(untitled ? QStringLiteral("Untitled") : film[Field::Title]);
        page.raw("\" loading=\"lazy\"></a>");
    }
    page.raw("<div class=\"text\"><h2><a href=\"#film-");
    page.number(place);
    if (untitled) {
        page.raw("\" class=\"untitled\">Untitled");
    } else {
        page.raw("\">");
        page.html(film[Field::Title]);
    }
    page.raw("</a></h2>");
    static const std::pair<Field, const char*> Facts[] = {
        {Field::Release, "release"}, {Field::Type, "type"}, {Field::Time, "time"}, {Field::Genre, "genre"}};
    if (!(film[Field::Release] + film[Field::Type] + film[Field::Time] + film[Field::Genre]).isEmpty()) {
        page.raw("<p class=\"facts\">");
        for (const auto& [fact, name] : Facts) {
            if (film[fact].isEmpty())
                continue;
            page.raw("<span class=\"");
            page.raw(name);
            page.raw("\">");
            page.html(film[fact]);
            page.raw("</span>");
        }
        page.raw("</p>");
    }
    if (!film[Field::Plot].isEmpty()) {
        page.raw("<p class=\"plot\">");
        page.html(film[Field::Plot]);
        page.raw("</p>");
    }
    if (!film[Field::Cast].isEmpty()) {
        page.raw("<section class=\"cast\"><h3>Cast</h3><p>");
        page.html(film[Field::Cast]);
        page.raw("</p></section>");
    }
    if (!film[Field::Comment].isEmpty()) {
        page.raw("<section class=\"comment\"><h3>Comment</h3><p>");
        page.html(film[Field::Comment]);
        page.raw("</p></section>");
    }
    static const std::pair<Field, Field> Links[] = {{Field::WebText1, Field::WebUrl1},
                                                    {Field::WebText2, Field::WebUrl2},
                                                    {Field::WebText3, Field::WebUrl3}};
    if (!(film[Field::WebUrl1] + film[Field::WebUrl2] + film[Field::WebUrl3]).isEmpty()) {
        page.raw("<ul class=\"links\">");
        for (const auto& [text, address] : Links) {
            if (film[address].isEmpty())
                continue;
            page.raw("<li><a");
            writeHref(page, film[address]);
            page.raw(">");
            page.html(film[text].isEmpty() ? film[address] : film[text]);
            page.raw("</a></li>");
        }
        page.raw("</ul>");
    }
    page.raw("</div></article>\n");
}

void writeCount(Page& page, qsizetype count)
{
    if (count == 1) {
        page.raw("1 film");
        return;
    }
    page.number(count);
    page.raw(" films");
}

// The films' image addresses lead from the page's folder to the list's, found once as the page run
// finds it.
void writePage(Page& page,
               const ListDocument& list,
               const QString& templates,
               const PageImageAddresses& imageAddresses)
{
    const QList<FilmRecord>& films = list.films;
    const QString title = list.pageTitle.value_or(QStringLiteral("My Movie"));
    const QString description = list.pageDescription.value_or(QString());
    page.raw("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<meta name=\"viewport\" "
             "content=\"width=device-width, initial-scale=1\">\n<meta name=\"generator\" "
             "content=\"Reelkeep\">\n<title>");
    page.html(title);
    page.raw("</title>\n");
    if (!description.isEmpty()) {
        page.raw("<meta name=\"description\" content=\"");
        page.html(description);
        page.raw("\">\n");
    }
    const QString mask = templateText(templates, "mask.html");
    page.text(cut(mask, QStringLiteral("<style>"), QStringLiteral("</style>\n</head>\n<body>\n")));
    page.raw("<header class=\"page wide\">\n<h1>");
    page.html(title);
    page.raw("</h1>\n");
    if (!description.isEmpty()) {
        page.raw("<p class=\"description\">");
        page.html(description);
        page.raw("</p>\n");
    }
    page.raw("<p class=\"count\" id=\"count\">");
    writeCount(page, films.size());
    page.raw("</p>\n</header>\n");
    const QList<std::int16_t> byTitle = sortedPageOrder(films, {}, QStringLiteral("title"), true);
    if (!films.isEmpty()) {
        const QString finder = templateText(templates, "finder.html");
        // The sort choices of extra fields are an expression that writes nothing for a list without
        // them, which the floor program's lists are.
        page.text(
            cut(finder, QStringLiteral("<div class=\"finder\""), QStringLiteral("role=\"status\">"))
                .remove(QStringLiteral("[setvar('extra', 0)][infile('extra-sort.html', list.fieldcount)]")));
        writeCount(page, films.size());
        page.raw("</p>\n</div>\n</div>\n<section class=\"facets wide\" id=\"facets\" aria-label=\"Genre and "
                 "type\" "
                 "hidden>\n");
        writeFacet(page, films, Field::Genre, "genre", "Genre");
        writeFacet(page, films, Field::Type, "type", "Type");
        page.raw("</section>\n");
        page.text(cut(finder, QStringLiteral("<script>"), QStringLiteral("</script>\n")));
        writeLetters(page, films, byTitle, templateText(templates, "letter-key.html"));
    }
    page.raw("<main class=\"wide\" id=\"films\">\n");
    if (!films.isEmpty())
        page.raw("<p class=\"steps\" hidden><button type=\"button\" id=\"earlier\"></button></p>\n");
    for (qsizetype place = 1; place <= byTitle.size(); ++place)
        writeFilm(page, films[byTitle[place - 1]], place, imageAddresses);
    if (!films.isEmpty())
        page.raw("<p class=\"steps\" hidden><button type=\"button\" id=\"more\"></button></p>\n");
    if (films.isEmpty())
        page.raw("<p class=\"empty\">This catalogue has no films yet.</p>\n");
    page.raw("</main>\n<footer class=\"page wide\">\n<p>Made with Reelkeep.</p>\n</footer>\n");
    if (!films.isEmpty()) {
        page.raw("<template id=\"collection-order\"><ol>\n");
        for (const FilmRecord& film : films) {
            page.raw("<li>");
            page.html(film[Field::Title]);
            page.raw("</li>\n");
        }
        page.raw("</ol></template>\n");
    }
    page.raw("</body>\n</html>\n");
}

} // namespace

int main(int argc, char** argv)
{
    // The process lays its memory out as reelkeep-cli does for one command, so that the two differ
    // in making the page alone.
    prepareHugePageHeap(std::size_t(256) << 20);
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 4) {
        std::fputs("usage: reelkeep_floor_page LISTFILE OUTPUT TEMPLATEDIR\n", stderr);
        return 1;
    }
    QString failure;
    // Left to the system at exit, as reelkeep-cli leaves the catalogue it loaded.
    const auto* list =
        new std::optional<ListDocument>(loadListFile(arguments[1], ListForm::FromName, &failure));
    if (!*list) {
        std::fprintf(stderr, "reelkeep_floor_page: %s\n", qPrintable(failure));
        return 2;
    }
    Page page(arguments[2]);
    if (!page.isOpen())
        return 2;
    writePage(
        page,
        **list,
        arguments[3],
        PageImageAddresses(QFileInfo(arguments[1]).absolutePath(), QFileInfo(arguments[2]).absolutePath()));
    return 0;
}
