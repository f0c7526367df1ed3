// User-defined text formats: the placeholders "@" and "&", "<" and ">" for letter case, "!" for
// filling from the left, and literals.
#include "functions/FormatParts.h"

namespace reelkeep::detail {
namespace {

struct TextItem
{
    QChar placeholder; // '@' or '&'; null for a literal
    QString literal;
};

struct TextSection
{
    std::vector<TextItem> items;
    int placeholders = 0;
    bool fillFromLeft = false;
    enum class Case
    {
        AsIs,
        Lower,
        Upper,
    } letterCase = Case::AsIs;
};

TextSection parseTextSection(QStringView section)
{
    TextSection layout;
    for (const FormatPiece& piece : formatPieces(section)) {
        const QChar c = piece.character;
        if (piece.isLiteral) {
            layout.items.push_back({QChar(), piece.literal});
        } else if (c == u'@' || c == u'&') {
            layout.items.push_back({c, QString()});
            ++layout.placeholders;
        } else if (c == u'<' || c == u'>') {
            // With both "<" and ">" the first one written decides.
            if (layout.letterCase == TextSection::Case::AsIs)
                layout.letterCase = c == u'<' ? TextSection::Case::Lower : TextSection::Case::Upper;
        } else if (c == u'!') {
            layout.fillFromLeft = true;
        } else {
            layout.items.push_back({QChar(), QString(c)});
        }
    }
    return layout;
}

QString withCase(const QString& text, TextSection::Case letterCase)
{
    switch (letterCase) {
    case TextSection::Case::Lower:
        return text.toLower();
    case TextSection::Case::Upper:
        return text.toUpper();
    case TextSection::Case::AsIs:
        break;
    }
    return text;
}

} // namespace

QString formatTextSection(QStringView section, const QString& text)
{
    const TextSection layout = parseTextSection(section);
    const QString shown = withCase(text, layout.letterCase);
    const qsizetype placeholders = layout.placeholders;
    QString out;
    // A text longer than the placeholders fills them from its first character, whatever the
    // direction, and its remaining characters follow the whole section. A shorter one fills them
    // from the right, or from the left with "!".
    const qsizetype firstChar = layout.fillFromLeft ? 0 : std::min<qsizetype>(0, shown.size() - placeholders);
    qsizetype index = 0;
    for (const TextItem& item : layout.items) {
        if (item.placeholder.isNull()) {
            out += item.literal;
            continue;
        }
        const qsizetype at = firstChar + index++;
        if (at >= 0 && at < shown.size())
            out += shown[at];
        else if (item.placeholder == u'@')
            out += u' ';
    }
    return out + shown.mid(placeholders);
}

QString formatWithTextSections(const std::vector<QStringView>& sections, const QString& text)
{
    if (text.isEmpty() && sections.size() >= 2)
        return formatTextSection(sections[1], text);
    return formatTextSection(sections.front(), text);
}

} // namespace reelkeep::detail
