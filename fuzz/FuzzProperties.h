// What every fuzz target checks besides the sanitizers: a failed property stops the run with a
// message, which libFuzzer records as a crash with the input that caused it.
#pragma once

#include "pagegen/PageHost.h"
#include "storage/ListFile.h"

#include <QByteArrayView>
#include <QString>

namespace reelkeep::fuzz {

/// Prints what was expected and aborts; libFuzzer then saves the input as a crash.
[[noreturn]] void propertyFailed(const char* property, const QString& detail = QString());

/// Stops the run unless a raised run-time error carries a standard number: one that
/// errorMessage() has a text of its own for.
void requireStandardError(int number);

/// The first film, page text or extra field where two documents differ, for a failure message.
QString firstDifference(const ListDocument& expected, const ListDocument& actual);

/// What the native reader keeps to on any bytes: a file reads completely or not at all, from
/// memory, from disk and in small pieces alike, and what it reads is saved and read back unchanged.
void checkNativeList(QByteArrayView bytes);

/// A page's catalogue of a few films with the given titles, each with `field` filled as given,
/// for the targets that run templates.
class FuzzCatalogue : public PageContext
{
public:
    FuzzCatalogue(const QStringList& titles, Field field, const QString& text);
    const QList<FilmRecord>& films() const override { return m_films; }
    const ExtraFields& extraFields() const override { return m_fields; }
    QString pageTitle() const override { return QStringLiteral("Page"); }
    QString pageDescription() const override { return QString(); }
    void setProgress(float) override {}
    void setLabel(const QString&) override {}

private:
    QList<FilmRecord> m_films;
    ExtraFields m_fields;
};

/// Whether the inputs run as the tests replay a corpus, each once, rather than under libFuzzer:
/// a target may then check what takes too long to check on every input libFuzzer makes.
bool replaying();
/// Marks the process as one that replays a corpus.
void startReplaying();

/// A file in a folder of the process's own, for targets that go through the file system.
QString scratchFile(const QString& name);

/// The scratch file `name` holding exactly `bytes`.
QString writeScratchFile(const QString& name, QByteArrayView bytes);

} // namespace reelkeep::fuzz

/// Stops the run with the property's text when the condition does not hold.
#define FUZZ_REQUIRE(condition, ...)                                                                         \
    do {                                                                                                     \
        if (!(condition))                                                                                    \
            ::reelkeep::fuzz::propertyFailed(#condition __VA_OPT__(, ) __VA_ARGS__);                         \
    } while (false)
