// Reading registry values, and where the system-information tool is looked for and started.
#include "about/FakeRegistry.h"
#include "about/SystemInfo.h"
#include "support/FakeDesktop.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace reelkeep;
using namespace Qt::StringLiterals;

namespace {

const QString SysInfoKey = u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"_s;
const QString ToolsLocationKey = u"SOFTWARE\\Microsoft\\Shared Tools Location"_s;
const QString TestKey = u"SOFTWARE\\Reelkeep"_s;
const QString Unavailable = u"System Information Is Unavailable At This Time"_s;

constexpr quint32 Text = 1;
constexpr quint32 ExpandableText = 2;
constexpr quint32 Number = 4;

} // namespace

class TestSystemInfo : public QObject
{
    Q_OBJECT

private slots:
    void getKeyValue_data();
    void getKeyValue();
    void startSysInfo_data();
    void startSysInfo();
    void systemRegistryIsThePlatforms();

private:
    QTemporaryDir m_folder;
};

// A value read fills KeyVal; a failure empties it. Either way no key is left open.
void TestSystemInfo::getKeyValue_data()
{
    QTest::addColumn<bool>("keyExists");
    QTest::addColumn<quint32>("type");
    QTest::addColumn<QByteArray>("stored");               // null: no value stored
    QTest::addColumn<std::optional<QString>>("expected"); // none: the value is not read
    QTest::addColumn<QStringList>("calls");

    const QString longText(KeyValueBufferLength, QLatin1Char('x'));
    const QString zero(1, QChar(0));
    const QString open = u"open 80000002 SOFTWARE\\Reelkeep 2003f"_s;
    const QStringList read{open, u"query Value"_s, u"close"_s};
    QTest::newRow("text stored with its terminator reads without it")
        << true << Text << FakeRegistry::utf16(u"C:\\Tools\\msinfo32.exe"_s, true)
        << std::optional(u"C:\\Tools\\msinfo32.exe"_s) << read;
    QTest::newRow("only one terminator is dropped")
        << true << Text << FakeRegistry::utf16(u"ab"_s + zero, true) << std::optional(u"ab"_s + zero) << read;
    QTest::newRow("a lone terminator reads as the empty text")
        << true << Text << QByteArray::fromHex("0000") << std::optional(QString()) << read;
    QTest::newRow("text beyond Latin-1 keeps its characters")
        << true << Text << FakeRegistry::utf16(u"Fïlm 映画"_s, true) << std::optional(u"Fïlm 映画"_s) << read;
    QTest::newRow("text filling the whole buffer reads whole")
        << true << Text << FakeRegistry::utf16(longText, false) << std::optional(longText) << read;
    QTest::newRow("number 261 from bytes 05 01 00 00")
        << true << Number << QByteArray::fromHex("05010000") << std::optional(u"261"_s) << read;
    QTest::newRow("largest number is unsigned")
        << true << Number << QByteArray::fromHex("ffffffff") << std::optional(u"4294967295"_s) << read;
    QTest::newRow("expandable text leaves KeyVal as it was")
        << true << ExpandableText << FakeRegistry::utf16(u"%windir%"_s, true) << std::optional(u"before"_s)
        << read;
    QTest::newRow("missing key is not queried or closed")
        << false << Text << QByteArray() << std::optional<QString>() << QStringList{open};
    QTest::newRow("missing value closes the key")
        << true << Text << QByteArray() << std::optional<QString>() << read;
    QTest::newRow("text longer than the buffer is not read")
        << true << Text << FakeRegistry::utf16(longText, true) << std::optional<QString>() << read;
}

void TestSystemInfo::getKeyValue()
{
    QFETCH(bool, keyExists);
    QFETCH(quint32, type);
    QFETCH(QByteArray, stored);
    QFETCH(std::optional<QString>, expected);
    QFETCH(QStringList, calls);

    FakeRegistry registry;
    if (keyExists)
        registry.addKey(TestKey);
    if (!stored.isNull())
        registry.setValue(TestKey, u"Value"_s, type, stored);
    QString KeyVal = u"before"_s;
    QCOMPARE(GetKeyValue(registry, HKeyLocalMachine, TestKey, u"Value"_s, KeyVal), bool(expected));
    QCOMPARE(KeyVal, expected.value_or(QString()));
    QCOMPARE(registry.calls(), calls);
    QCOMPARE(registry.openKeys(), 0);
}

// In the folder column, "<folder>" stands for a temporary folder whose "tools" folder holds
// MSINFO32.EXE; "<empty>" for one that does not.
void TestSystemInfo::startSysInfo_data()
{
    QTest::addColumn<quint32>("pathType"); // 0: no PATH value
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder"); // empty: no MSINFO value
    QTest::addColumn<QString>("broken"); // a program that refuses to start
    QTest::addColumn<QStringList>("started");
    QTest::addColumn<QStringList>("questions");

    const QString tool = u"D:\\Apps\\msinfo32.exe"_s;
    const QString found = u"<folder>\\MSINFO32.EXE"_s;
    QTest::newRow("own path entry is started without looking for the file")
        << Text << tool << u"<folder>"_s << QString() << QStringList{tool} << QStringList{};
    QTest::newRow("shared tools folder holding the tool starts it")
        << 0u << QString() << u"<folder>"_s << QString() << QStringList{found} << QStringList{};
    QTest::newRow("shared tools folder without the tool tells the user")
        << 0u << QString() << u"<empty>"_s << QString() << QStringList{} << QStringList{Unavailable};
    QTest::newRow("neither entry tells the user")
        << 0u << QString() << QString() << QString() << QStringList{} << QStringList{Unavailable};
    QTest::newRow("own path that fails to start tells the user")
        << Text << tool << QString() << tool << QStringList{tool} << QStringList{Unavailable};
    QTest::newRow("tool in the shared folder that fails to start tells the user")
        << 0u << QString() << u"<folder>"_s << found << QStringList{found} << QStringList{Unavailable};
    QTest::newRow("own path of another type is no path")
        << ExpandableText << tool << u"<folder>"_s << QString() << QStringList{} << QStringList{Unavailable};
    QTest::newRow("empty own path is no path")
        << Text << QString() << u"<folder>"_s << QString() << QStringList{} << QStringList{Unavailable};
}

void TestSystemInfo::startSysInfo()
{
    QFETCH(quint32, pathType);
    QFETCH(QString, path);
    QFETCH(QString, folder);
    QFETCH(QString, broken);
    QFETCH(QStringList, started);
    QFETCH(QStringList, questions);

    // The tool's path is the folder read with "\MSINFO32.EXE" appended, whatever the local separator.
    const QString withTool = m_folder.filePath(u"tools"_s);
    const QString withoutTool = m_folder.filePath(u"empty"_s);
    QVERIFY(QDir().mkpath(withTool) && QDir().mkpath(withoutTool));
    QFile tool(withTool + u"\\MSINFO32.EXE"_s);
    QVERIFY(tool.open(QIODevice::WriteOnly));
    tool.close();
    const auto place = [&](QString text) {
        return text.replace(u"<folder>"_s, withTool).replace(u"<empty>"_s, withoutTool);
    };

    FakeRegistry registry;
    if (pathType != 0)
        registry.setValue(SysInfoKey, u"PATH"_s, pathType, FakeRegistry::utf16(path, true));
    if (!folder.isEmpty())
        registry.setText(ToolsLocationKey, u"MSINFO"_s, place(folder));
    FakeDesktop desktop;
    desktop.brokenPrograms.insert(place(broken));
    StartSysInfo(registry, desktop);
    for (QString& program : started)
        program = place(program);
    QCOMPARE(desktop.startedPrograms(), started);
    QCOMPARE(desktop.questions(), questions);
}

// Elsewhere than on Windows there is no registry: the tool is never found.
void TestSystemInfo::systemRegistryIsThePlatforms()
{
#ifdef Q_OS_WIN
    QVERIFY(dynamic_cast<AbsentRegistry*>(&systemRegistry()) == nullptr);
#else
    QVERIFY(dynamic_cast<AbsentRegistry*>(&systemRegistry()) != nullptr);
    QString KeyVal = u"before"_s;
    QVERIFY(!GetKeyValue(systemRegistry(), HKeyLocalMachine, SysInfoKey, u"PATH"_s, KeyVal));
    QVERIFY(KeyVal.isEmpty());
#endif
}

QTEST_GUILESS_MAIN(TestSystemInfo)
#include "TestSystemInfo.moc"
