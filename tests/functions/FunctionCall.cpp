// Test notation for calls of the built-in library.
#include "FunctionCall.h"

#include "ValueSpec.h"

#include <QTest>

namespace reelkeep::test {

QDateTime fixedNow()
{
    return QDateTime(QDate(2020, 1, 2), QTime(13, 45, 30, 600));
}

QString callOutcome(Defalt_Functions& library, const QString& name, const QStringList& arguments, bool* found)
{
    ArgumentList list;
    for (const QString& argument : arguments)
        list.append(valueOf(argument));
    bool wasFound = false;
    const QString result = outcome([&] { return library.Solve_Function(name, list, wasFound); });
    if (found)
        *found = wasFound;
    return result;
}

void addCallColumns()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expected");
}

void addCall(const char* rule, const char* name, const QStringList& arguments, const char* expected)
{
    QTest::newRow(rule) << QString::fromUtf8(name) << arguments << QString::fromUtf8(expected);
}

void checkCall()
{
    QFETCH(QString, name);
    QFETCH(QStringList, arguments);
    QFETCH(QString, expected);
    Defalt_Functions library(fixedNow);
    QCOMPARE(callOutcome(library, name, arguments), expected);
}

} // namespace reelkeep::test
