// Runs a fuzz target once over every file of the folders (or files) named on the
// command line, in name order: the seed corpus as a plain test. A broken invariant
// aborts, as it does under libFuzzer.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

#include "fuzz_support.h"

namespace {

QStringList inputsOf(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isDir())
        return {path};
    QStringList files;
    const QDir dir(path);
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
        files.append(dir.filePath(name));
    return files;
}

} // namespace

int main(int argc, char** argv)
{
    LLVMFuzzerInitialize(&argc, &argv);
    int ran = 0;
    for (int i = 1; i < argc; ++i) {
        for (const QString& file : inputsOf(QString::fromLocal8Bit(argv[i]))) {
            QFile in(file);
            if (!in.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(file));
                return 1;
            }
            const QByteArray data = in.readAll();
            std::printf("%s (%lld bytes)\n", qPrintable(file), static_cast<long long>(data.size()));
            std::fflush(stdout);
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(data.constData()),
                                   static_cast<std::size_t>(data.size()));
            ++ran;
        }
    }
    std::printf("%d inputs\n", ran);
    // No input at all means the corpus is missing: that is a failure, not a pass.
    return ran > 0 ? 0 : 1;
}
