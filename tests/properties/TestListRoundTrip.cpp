// Random catalogues saved and loaded in both list-file forms come back unchanged, and a save that
// runs out of room halfway keeps the old file. Each row's seed is printed when it fails; set
// REELKEEP_PROPERTY_SEED to run every row with another seed.
#include "storage/ListFile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace reelkeep;
using namespace Qt::StringLiterals;

class TestListRoundTrip : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void saveThatRunsOutOfRoomKeepsOldFile_data();
    void saveThatRunsOutOfRoomKeepsOldFile();
};

namespace {

// Pieces that list files must carry through: separators and quotes of the comma-separated form,
// every kind of line break, characters on both sides of Windows-1252 (U+0080 is not in it, U+0081
// is kept as the byte of the same number), a character outside the Basic Multilingual Plane, and
// U+FEFF, which a UTF-8 decoder may take for a byte-order mark when it opens a text.
const QStringList Pieces = {
    u"Alien"_s,      u" "_s,      u","_s,          u"\""_s,     u"\"\""_s,   u"\r\n"_s,   u"\n"_s,
    u"\r"_s,         u"\t"_s,     u"caf\u00e9"_s,  u"\u20ac"_s, u"\u2019"_s, u"\u0081"_s, u"\u0080"_s,
    u"\u014ckami"_s, u"\u5927"_s, u"\U0001F3AC"_s, u"'"_s,      u"#"_s,      u"\uFEFF"_s,
};

class CatalogueMaker
{
public:
    CatalogueMaker(quint32 seed, bool windows1252Only)
        : m_random(seed)
        , m_windows1252Only(windows1252Only)
    {}

    ListDocument make(int films)
    {
        ListDocument document{text(), text(), {}};
        document.films.reserve(films);
        for (int i = 0; i < films; ++i)
            document.films.append(film());
        return document;
    }

    /// Whether a film text made so far holds a character outside Windows-1252.
    bool filmsLeftWindows1252() const { return m_filmsLeftWindows1252; }

private:
    FilmRecord film()
    {
        FilmRecord record;
        for (QString& field : record.fields) {
            field = text();
            m_filmsLeftWindows1252 = m_filmsLeftWindows1252 || m_textLeftWindows1252;
        }
        return record;
    }

    // Mostly short texts, a third of them empty, now and then one of several thousand characters.
    QString text()
    {
        const int choice = m_random.bounded(100);
        if (choice < 33)
            return QString();
        const int pieces = choice == 99 ? m_random.bounded(1000, 8000) : m_random.bounded(1, 8);
        QString result;
        m_textLeftWindows1252 = false;
        for (int i = 0; i < pieces; ++i)
            result += piece();
        return result;
    }

    QString piece()
    {
        for (;;) {
            const QString& candidate = Pieces[m_random.bounded(int(Pieces.size()))];
            const bool fits = fitsWindows1252(candidate);
            if (fits || !m_windows1252Only) {
                m_textLeftWindows1252 = m_textLeftWindows1252 || !fits;
                return candidate;
            }
        }
    }

    static bool fitsWindows1252(const QString& text)
    {
        return text != u"\u0080"_s && text != u"\u014ckami"_s && text != u"\u5927"_s &&
               text != u"\U0001F3AC"_s && text != u"\uFEFF"_s;
    }

    QRandomGenerator m_random;
    bool m_windows1252Only;
    bool m_textLeftWindows1252 = false;
    bool m_filmsLeftWindows1252 = false;
};

quint32 seedFor(quint32 rowSeed)
{
    bool ok = false;
    const quint32 chosen = qEnvironmentVariable("REELKEEP_PROPERTY_SEED").toUInt(&ok);
    return ok ? chosen : rowSeed;
}

QString describeDifference(const ListDocument& expected, const ListDocument& actual)
{
    if (expected.pageTitle != actual.pageTitle || expected.pageDescription != actual.pageDescription)
        return u"the page texts differ"_s;
    if (expected.films.size() != actual.films.size())
        return u"%1 films saved, %2 loaded"_s.arg(expected.films.size()).arg(actual.films.size());
    for (qsizetype i = 0; i < expected.films.size(); ++i) {
        for (int f = 0; f < FieldCount; ++f) {
            const QString& saved = expected.films[i].fields[size_t(f)];
            const QString& loaded = actual.films[i].fields[size_t(f)];
            if (saved != loaded)
                return u"film %1, field %2: saved %3, loaded %4"_s.arg(i).arg(f).arg(
                    QString::fromLatin1(saved.left(40).toUtf8().toPercentEncoding()),
                    QString::fromLatin1(loaded.left(40).toUtf8().toPercentEncoding()));
        }
    }
    return QString();
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

void TestListRoundTrip::roundTrip_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("films");
    QTest::addColumn<bool>("windows1252Only");

    QTest::newRow("an empty catalogue") << 1u << 0 << false;
    QTest::newRow("one film") << 2u << 1 << false;
    QTest::newRow("texts that all fit Windows-1252") << 3u << 300 << true;
    QTest::newRow("texts outside Windows-1252") << 4u << 300 << false;
    QTest::newRow("two thousand films") << 5u << 2000 << false;
    for (quint32 seed = 6; seed < 12; ++seed)
        QTest::addRow("random size, seed %u", seed)
            << seed << int(QRandomGenerator(seed).bounded(2001)) << (seed % 2 == 0);
}

void TestListRoundTrip::roundTrip()
{
    QFETCH(quint32, seed);
    QFETCH(int, films);
    QFETCH(bool, windows1252Only);
    seed = seedFor(seed);
    CatalogueMaker maker(seed, windows1252Only);
    const ListDocument document = maker.make(films);
    QTemporaryDir folder;

    for (const ListForm form : {ListForm::Native, ListForm::CommaSeparated}) {
        const QString path = folder.filePath(form == ListForm::Native ? u"films.rkf"_s : u"films.csv"_s);
        QString failure;
        QVERIFY2(saveListFile(path, form, document, &failure),
                 qPrintable(u"seed %1: "_s.arg(seed) + failure));
        const std::optional<ListDocument> loaded = loadListFile(path, ListForm::FromName, &failure);
        QVERIFY2(loaded, qPrintable(u"seed %1: "_s.arg(seed) + failure));

        ListDocument expected = document;
        if (form == ListForm::CommaSeparated) // the comma-separated form carries no page texts
            expected = ListDocument{std::nullopt, std::nullopt, document.films};
        QVERIFY2(*loaded == expected,
                 qPrintable(u"seed %1, %2: %3"_s.arg(seed).arg(path, describeDifference(expected, *loaded))));
        // Films that fit Windows-1252 are written in it; any other text makes the whole file UTF-8.
        const QByteArray bytes = contents(path);
        if (form == ListForm::Native && windows1252Only)
            QCOMPARE(bytes.left(5), "rkf01"_ba);
        if (form == ListForm::Native && maker.filmsLeftWindows1252())
            QCOMPARE(bytes.left(5), "rkf02"_ba);
        if (form == ListForm::CommaSeparated)
            QCOMPARE(bytes.startsWith("\xEF\xBB\xBF"), maker.filmsLeftWindows1252());
    }
}

void TestListRoundTrip::saveThatRunsOutOfRoomKeepsOldFile_data()
{
    QTest::addColumn<int>("form");
    QTest::addColumn<qint64>("limit"); // bytes a file may grow to

    QTest::newRow("native, no room at all") << int(ListForm::Native) << qint64(0);
    QTest::newRow("native, full halfway") << int(ListForm::Native) << qint64(64 * 1024);
    QTest::newRow("comma-separated, full halfway") << int(ListForm::CommaSeparated) << qint64(64 * 1024);
}

// The save runs in a child process whose files may not grow past the limit, as on a full disk;
// the write then fails with EFBIG instead of the child being stopped by SIGXFSZ.
void TestListRoundTrip::saveThatRunsOutOfRoomKeepsOldFile()
{
    QFETCH(int, form);
    QFETCH(qint64, limit);
    QTemporaryDir folder;
    const QString path = folder.filePath(u"films.list"_s);
    const ListDocument old = CatalogueMaker(21, false).make(3);
    QVERIFY(saveListFile(path, ListForm(form), old));
    const QByteArray oldBytes = contents(path);
    const ListDocument bigger = CatalogueMaker(22, false).make(2000);

    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit fileSize{rlim_t(limit), rlim_t(limit)};
        setrlimit(RLIMIT_FSIZE, &fileSize);
        _exit(saveListFile(path, ListForm(form), bigger) ? 0 : 1);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 1); // the save reports its failure
    QCOMPARE(contents(path), oldBytes);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"films.list"_s});
}

QTEST_GUILESS_MAIN(TestListRoundTrip)
#include "TestListRoundTrip.moc"
