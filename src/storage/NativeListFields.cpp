// What a native list file says of extra fields it cannot hold.
#include "storage/NativeListFields.h"

#include "storage/FilmTexts.h"

namespace reelkeep {

QString tooManyFieldsFailure(qsizetype count)
{
    return QStringLiteral("there are %1 extra fields, more than the %2 a list holds")
        .arg(count)
        .arg(MaxExtraFields);
}

QString fieldNameFailure(QStringView name, const QString& problem)
{
    return QStringLiteral("the extra field \"%1\" cannot be: %2").arg(shownInMessage(name), problem);
}

QString valueFailure(const FilmRecord& film, qsizetype position, const ExtraField& field, QStringView value)
{
    return QStringLiteral("the extra field \"%1\" of film %2 (\"%3\") is \"%4\", not %5")
        .arg(field.name)
        .arg(position + 1)
        .arg(shownInMessage(film.title()), shownInMessage(value), kindFacts(field.kind).valueWords);
}

QString extraFieldsProblem(const ListDocument& document)
{
    const ExtraFields& fields = document.fields;
    if (fields.size() > MaxExtraFields)
        return tooManyFieldsFailure(fields.size());
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (const QString problem = extraFieldNameProblem(fields.first(i), fields[i].name);
            !problem.isEmpty())
            return fieldNameFailure(fields[i].name, problem);
    }
    for (qsizetype position = 0; position < document.films.size(); ++position) {
        const FilmRecord& film = document.films[position];
        for (qsizetype i = 0; i < film.extra.size(); ++i) {
            if (i >= fields.size() && !film.extra[i].isEmpty())
                return QStringLiteral("film %1 holds a value of an extra field the list does not have")
                    .arg(position + 1);
            if (i < fields.size() && !isCanonicalValue(fields[i].kind, film.extra[i]))
                return valueFailure(film, position, fields[i], film.extra[i]);
        }
    }
    return QString();
}

} // namespace reelkeep
