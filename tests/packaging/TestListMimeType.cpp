// The shared-mime-info package for list files, as a desktop that reads it through QMimeDatabase
// sees it: which names and which first bytes make a file a Reelkeep list.
#include "support/ListFiles.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString ListType = QStringLiteral("application/x-reelkeep-list");

// The package under test: the installed one when the packaging test hands it over, else the
// one in the source.
QString mimePackagePath()
{
    const QByteArray given = qgetenv("REELKEEP_MIME_PACKAGE");
    return given.isEmpty() ? QStringLiteral(REELKEEP_MIME_PACKAGE) : QString::fromLocal8Bit(given);
}

} // namespace

class TestListMimeType : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void detection_data();
    void detection();
    void describesItself();

private:
    QTemporaryDir m_dataDir;
    QTemporaryDir m_files;
};

// QMimeDatabase reads the data folders once, on first use, so the package is put in a folder of
// its own ahead of the system's before anything asks.
void TestListMimeType::initTestCase()
{
    QVERIFY(m_dataDir.isValid() && m_files.isValid());
    QVERIFY(QDir(m_dataDir.path()).mkpath(QStringLiteral("mime/packages")));
    QVERIFY(QFile::copy(mimePackagePath(), m_dataDir.filePath(QStringLiteral("mime/packages/reelkeep.xml"))));
    const QByteArray system = qEnvironmentVariableIsSet("XDG_DATA_DIRS")
                                  ? qgetenv("XDG_DATA_DIRS")
                                  : QByteArray("/usr/local/share:/usr/share");
    qputenv("XDG_DATA_DIRS", QFile::encodeName(m_dataDir.path()) + ':' + system);
}

static void addCase(const char* rule, const char* name, const QByteArray& content, const QString& type)
{
    QTest::newRow(rule) << QString::fromLatin1(name) << content << type;
}

void TestListMimeType::detection_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("type");

    const QByteArray native("rkf01\x08My Movie\x00\x00\x00\x00", 17);
    addCase("an rkf name is a list", "films.rkf", native, ListType);
    addCase("an rkf name is a list in any letter case", "FILMS.RKF", native, ListType);
    addCase("an rkf name is a list whatever it holds", "films.rkf", QByteArray(), ListType);
    addCase("rkf01 at the start makes a list of any name", "films.dat", native, ListType);
    addCase("rkf02 at the start makes a list of any name",
            "films.dat",
            QByteArray("rkf02\x08My Movie"),
            ListType);
    addCase("rkf03 at the start makes a list of any name",
            "films.dat",
            QByteArray("rkf03\x08My Movie"),
            ListType);
    addCase("an unknown form number is not a list", "films.dat", QByteArray("rkf04\x08My Movie"), QString());
    addCase(
        "rkf01 later in the file is not a list", "films.dat", QByteArray("xrkf01\x08My Movie"), QString());
    addCase("a cut-off magic is not a list", "films.dat", QByteArray("rkf0"), QString());
    addCase("a comma-separated list stays text/csv",
            "films.csv",
            QByteArray("\"Alien\",\"1979\"\r\n"),
            QStringLiteral("text/csv"));
}

// An empty expected type means "anything but a list".
void TestListMimeType::detection()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, type);

    const QString path = m_files.filePath(name);
    reelkeep::test::writeFileBytes(path, content);

    const QString found = QMimeDatabase().mimeTypeForFile(path).name();
    if (type.isEmpty())
        QVERIFY2(found != ListType, qPrintable(found));
    else
        QCOMPARE(found, type);
}

void TestListMimeType::describesItself()
{
    const QMimeType type = QMimeDatabase().mimeTypeForName(ListType);
    QVERIFY(type.isValid());
    QCOMPARE(type.comment(), QStringLiteral("Reelkeep film list"));
    QCOMPARE(type.suffixes(), QStringList{QStringLiteral("rkf")});
    QCOMPARE(type.iconName(), QStringLiteral("application-x-reelkeep-list"));
}

QTEST_GUILESS_MAIN(TestListMimeType)
#include "TestListMimeType.moc"
