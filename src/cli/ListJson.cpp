// JSON text of a list file, written by hand so that the keys keep their order.
#include "cli/ListJson.h"

namespace reelkeep {

namespace {

void appendEscaped(QString& out, QChar character)
{
    switch (character.unicode()) {
    case u'"':
        out.append(u"\\\"");
        return;
    case u'\\':
        out.append(u"\\\\");
        return;
    case u'\b':
        out.append(u"\\b");
        return;
    case u'\f':
        out.append(u"\\f");
        return;
    case u'\n':
        out.append(u"\\n");
        return;
    case u'\r':
        out.append(u"\\r");
        return;
    case u'\t':
        out.append(u"\\t");
        return;
    default:
        out.append(QStringLiteral("\\u%1").arg(character.unicode(), 4, 16, QLatin1Char('0')));
        return;
    }
}

// Controls, quotes and backslashes are escaped; so is half of a broken surrogate pair, which has
// no UTF-8 form. Everything else is written as it is.
void appendJsonString(QString& out, QStringView text)
{
    out.append(u'"');
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar character = text[i];
        if (character.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out.append(text.sliced(i, 2));
            ++i;
        } else if (character.unicode() < 0x20 || character == u'"' || character == u'\\' ||
                   character.isSurrogate()) {
            appendEscaped(out, character);
        } else {
            out.append(character);
        }
    }
    out.append(u'"');
}

void appendMember(QString& out, const QString& indent, QStringView key, const std::optional<QString>& text)
{
    out.append(indent);
    appendJsonString(out, key);
    out.append(u": ");
    if (text)
        appendJsonString(out, *text);
    else
        out.append(u"null");
}

// "fields": [{"name": ..., "kind": ...}, ...] on one line for each field.
void appendFields(QString& out, const ExtraFields& fields)
{
    out.append(u"    \"fields\": [");
    for (qsizetype i = 0; i < fields.size(); ++i) {
        out.append(i == 0 ? u"\n        {\"name\": " : u",\n        {\"name\": ");
        appendJsonString(out, fields[i].name);
        out.append(u", \"kind\": ");
        appendJsonString(out, kindFacts(fields[i].kind).key);
        out.append(u'}');
    }
    out.append(u"\n    ],\n");
}

// Each field's value by its name, the empty text for none.
void appendExtraValues(QString& out, const FilmRecord& film, const ExtraFields& fields)
{
    out.append(u",\n            \"extra\": {");
    for (qsizetype i = 0; i < fields.size(); ++i) {
        appendMember(out,
                     i == 0 ? QStringLiteral("\n                ") : QStringLiteral(",\n                "),
                     fields[i].name,
                     film.extraValue(i));
    }
    out.append(u"\n            }");
}

void appendFilm(QString& out, const FilmRecord& film, const ExtraFields& fields)
{
    out.append(u"        {\n");
    for (int i = 0; i < FieldCount; ++i) {
        const Field field = fieldAt(i);
        appendMember(out, QStringLiteral("            "), fieldName(field), film[field]);
        if (i + 1 < FieldCount)
            out.append(u",\n");
    }
    if (!fields.isEmpty())
        appendExtraValues(out, film, fields);
    out.append(u"\n        }");
}

} // namespace

QString jsonString(QStringView text)
{
    QString out;
    appendJsonString(out, text);
    return out;
}

QString listDocumentToJson(const ListDocument& document)
{
    const QString indent = QStringLiteral("    ");
    QString out = QStringLiteral("{\n");
    appendMember(out, indent, u"pageTitle", document.pageTitle);
    out.append(u",\n");
    appendMember(out, indent, u"pageDescription", document.pageDescription);
    out.append(u",\n");
    if (!document.fields.isEmpty())
        appendFields(out, document.fields);
    out.append(u"    \"films\": [");
    for (qsizetype i = 0; i < document.films.size(); ++i) {
        out.append(i == 0 ? u"\n" : u",\n");
        appendFilm(out, document.films[i], document.fields);
    }
    out.append(document.films.isEmpty() ? u"]\n}\n" : u"\n    ]\n}\n");
    return out;
}

} // namespace reelkeep
