// Runs a harness over every input of its corpus, in name order, as an
// ordinary program: the way every input that once found a fault stays a
// regression test under the normal compiler. A broken promise aborts.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

int replay(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return -1;
    }
    const QByteArray bytes = file.readAll();
    std::fprintf(stderr, "replaying %s (%d bytes)\n", qPrintable(QFileInfo(path).fileName()), bytes.size());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        QStringList paths;
        if (QFileInfo(argument).isDir()) {
            const QDir dir(argument);
            for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
                paths << dir.filePath(name);
        } else {
            paths << argument;
        }
        for (const QString& path : qAsConst(paths)) {
            const int result = replay(path);
            if (result < 0)
                return 2;
            replayed += result;
        }
    }
    // A corpus that went missing must not pass as a clean replay.
    if (replayed == 0) {
        std::fprintf(stderr, "no input to replay\n");
        return 2;
    }
    std::printf("%d inputs replayed, every promise kept\n", replayed);
    return 0;
}
