// Loading and saving a full catalogue in both list-file forms, each beside reading or writing the
// same bytes through the same file calls, so that the ratio is what the list-file form costs. The
// forms are measured in Windows-1252 and, with one character outside it, in UTF-8; the native form
// also with four extra fields, which make it UTF-8 too.
#include "FullCatalogue.h"
#include "storage/ListFile.h"

#include <QDate>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace reelkeep;

namespace {

enum class Text
{
    Windows1252,
    Utf8,
    /// A rating, a yes/no, a date and a short text besides the seventeen fields of every film.
    ExtraFields,
};

ListDocument withFourExtraFields()
{
    ListDocument document = bench::fullCatalogue();
    document.fields = {{QStringLiteral("Rating"), ExtraKind::Rating},
                       {QStringLiteral("Seen"), ExtraKind::YesNo},
                       {QStringLiteral("Bought"), ExtraKind::Date},
                       {QStringLiteral("Shelf"), ExtraKind::Text}};
    const QDate first(2020, 1, 1);
    for (qsizetype i = 0; i < document.films.size(); ++i) {
        document.films[i].extra = {QString::number(i % 11),
                                   i % 3 == 0 ? QStringLiteral("no") : QStringLiteral("yes"),
                                   first.addDays(i % 1500).toString(Qt::ISODate),
                                   QStringLiteral("Box %1").arg(i % 40)};
    }
    return document;
}

// The benchmark's catalogue; one Greek letter in the first title makes both forms UTF-8.
const ListDocument& catalogue(Text text)
{
    static const ListDocument windows1252 = bench::fullCatalogue();
    static const ListDocument utf8 = [] {
        ListDocument document = bench::fullCatalogue();
        document.films.first()[Field::Title] += QStringLiteral(" \u03A9");
        return document;
    }();
    static const ListDocument extraFields = withFourExtraFields();
    return text == Text::Utf8 ? utf8 : text == Text::ExtraFields ? extraFields : windows1252;
}

// A saved copy of the catalogue in the given form and text, made once for each.
QString savedFile(ListForm form, Text text = Text::Windows1252)
{
    static QTemporaryDir folder;
    static const QString Prefixes[] = {QString(), QStringLiteral("utf8-"), QStringLiteral("fields-")};
    const QString name =
        Prefixes[static_cast<int>(text)] +
        (form == ListForm::Native ? QStringLiteral("films.rkf") : QStringLiteral("films.csv"));
    const QString path = folder.filePath(name);
    if (!QFile::exists(path) && !saveListFile(path, form, catalogue(text)))
        qFatal("cannot save the benchmark catalogue in %s", qPrintable(path));
    return path;
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

void load(benchmark::State& state, ListForm form, Text text = Text::Windows1252)
{
    const QString path = savedFile(form, text);
    for (auto _ : state) {
        std::optional<ListDocument> document = loadListFile(path, form);
        if (!document || document->films.size() != Catalogue::MaxEntries)
            state.SkipWithError("the catalogue did not load");
        benchmark::DoNotOptimize(document);
    }
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}

// The baseline of a load: the whole file read into memory.
void readBytes(benchmark::State& state, ListForm form)
{
    const QString path = savedFile(form);
    for (auto _ : state)
        benchmark::DoNotOptimize(bytesOf(path));
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}

void save(benchmark::State& state, ListForm form, Text text = Text::Windows1252)
{
    const QString path = savedFile(form, text) + QStringLiteral(".new");
    for (auto _ : state) {
        if (!saveListFile(path, form, catalogue(text)))
            state.SkipWithError("the catalogue did not save");
    }
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}

// The baseline of a save: the same bytes written through a file that replaces the old one only
// when complete, as a save does.
void writeBytes(benchmark::State& state, ListForm form)
{
    const QByteArray bytes = bytesOf(savedFile(form));
    const QString path = savedFile(form) + QStringLiteral(".raw");
    for (auto _ : state) {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            state.SkipWithError("the bytes did not write");
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

} // namespace

BENCHMARK_CAPTURE(load, native, ListForm::Native)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readBytes, native, ListForm::Native)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(save, native, ListForm::Native)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(writeBytes, native, ListForm::Native)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(load, csv, ListForm::CommaSeparated)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readBytes, csv, ListForm::CommaSeparated)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(save, csv, ListForm::CommaSeparated)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(writeBytes, csv, ListForm::CommaSeparated)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(load, native_utf8, ListForm::Native, Text::Utf8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(save, native_utf8, ListForm::Native, Text::Utf8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(load, csv_utf8, ListForm::CommaSeparated, Text::Utf8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(save, csv_utf8, ListForm::CommaSeparated, Text::Utf8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(load, native_fields, ListForm::Native, Text::ExtraFields)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(save, native_fields, ListForm::Native, Text::ExtraFields)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
