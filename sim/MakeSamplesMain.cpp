// velmora-make-samples: writes a sample firmware image and a sample mode
// file that the simulated adapter takes, for trying an upload and a repair.

#include "AdapterProfile.h"
#include "SampleFiles.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cstdio>

namespace {

// 64 KiB of pages after the header: whole pages for every page size from 64 to 1024.
constexpr qsizetype kSamplePageDataBytes = 64 * 1024;

bool write(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    std::fprintf(stderr, "velmora-make-samples: cannot write %s: %s\n", QFile::encodeName(path).constData(),
                 file.errorString().toLocal8Bit().constData());
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: velmora-make-samples DIRECTORY\n");
        return 2;
    }
    const QDir directory(QFile::decodeName(argv[1]));
    if (!directory.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "velmora-make-samples: cannot create %s\n", argv[1]);
        return 1;
    }
    const bool written = write(directory.filePath(QStringLiteral("velmora-sample.rfw")),
                               sim::sampleFirmwareImage(kSamplePageDataBytes))
        && write(directory.filePath(QStringLiteral("velmora-sample.rcm")), sim::modeFile("C3", "Track day"));
    return written ? 0 : 1;
}
