// Films and files for list-file tests: a film from its leading fields, the stored list files, and
// a file's bytes read and written whole.
#pragma once

#include "catalogue/FilmRecord.h"

#include <QFile>
#include <QStringList>
#include <QTest>

namespace reelkeep::test {

/// A film whose leading fields are `fields`, in field order; the others are empty.
inline FilmRecord filmOf(const QStringList& fields)
{
    FilmRecord record;
    for (qsizetype i = 0; i < fields.size(); ++i)
        record.fields[size_t(i)] = fields[i];
    return record;
}

/// The path of a list file kept with the tests.
inline QString storedList(const QString& name)
{
    return qEnvironmentVariable("REELKEEP_TEST_DATA") + QStringLiteral("/storage/") + name;
}

/// The bytes of the file at `path`, or none when it cannot be read.
inline QByteArray fileContents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// Writes `bytes` as the whole file at `path`; a test fails when it cannot.
inline void writeFileBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace reelkeep::test
