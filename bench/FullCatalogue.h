// A full catalogue of 32,767 films with texts of everyday lengths, shared by the benchmarks.
#pragma once

#include "catalogue/Catalogue.h"
#include "storage/ListFile.h"

namespace reelkeep::bench {

/// The same 32,767 films on every call: short titles and fields, a plot of a few lines, a cast
/// list, links; Windows-1252 text with commas, quotes and accents as people type them.
inline ListDocument fullCatalogue()
{
    ListDocument document{
        QStringLiteral("My films"), QStringLiteral("Everything on the shelf\r\nand more"), {}};
    document.films.reserve(Catalogue::MaxEntries);
    for (int i = 0; i < Catalogue::MaxEntries; ++i) {
        const QString number = QString::number(i);
        FilmRecord film;
        film[Field::Title] = QStringLiteral("The Film of Caf\u00e9 No. ") + number;
        film[Field::Release] = QString::number(1920 + i % 100);
        film[Field::Type] = QStringLiteral("DVD");
        film[Field::Time] = QString::number(80 + i % 90);
        film[Field::Genre] = QStringLiteral("Drama, Comedy");
        film[Field::Date] = QStringLiteral("1/2/2020");
        film[Field::Plot] =
            QStringLiteral("A \"quiet\" story, told in three parts.\r\nThen it rains.\r\n").repeated(3);
        film[Field::Comment] = i % 3 == 0 ? QString() : QStringLiteral("Seen twice");
        film[Field::Cast] = QStringLiteral("Ann Smith, Bo Jones, Chlo\u00eb Adams, Dev Patel");
        film[Field::ImgSrc] = QStringLiteral("images/") + number + QStringLiteral(".jpg");
        film[Field::ImgLink] = QStringLiteral("https://example.org/films/") + number;
        film[Field::WebText1] = QStringLiteral("Review");
        film[Field::WebUrl1] = QStringLiteral("https://example.org/reviews/") + number;
        document.films.append(std::move(film));
    }
    return document;
}

} // namespace reelkeep::bench
