// Runs a fuzz target once on every input of its corpus folders, without libFuzzer: the normal
// build's regression test of each seed and of each crash input added after its fix.
#include "FuzzProperties.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

static void replay(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        std::exit(2);
    }
    const QByteArray bytes = file.readAll();
    std::fprintf(stderr, "%s\n", qPrintable(path)); // names the input that a failure stops at
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                           std::size_t(bytes.size()));
}

int main(int argc, char** argv)
{
    reelkeep::fuzz::startReplaying();
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        if (!QFileInfo(path).isDir()) {
            replay(path);
            ++inputs;
            continue;
        }
        for (const QString& name : QDir(path).entryList(QDir::Files, QDir::Name)) {
            replay(QDir(path).filePath(name));
            ++inputs;
        }
    }
    std::printf("%d inputs kept every property\n", inputs);
    return inputs > 0 ? 0 : 1;
}
