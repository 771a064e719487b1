// Feeds every file of the corpus folders (or the files) named on the command
// line to the fuzz target it is linked with, once each: an input that ever
// found a fault is replayed by every test run. Each input gets a buffer of its
// own size, so the sanitizers see a read past its end.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>
#include <memory>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    LLVMFuzzerInitialize(&argc, &argv);
    QStringList inputs;
    for (int i = 1; i < argc; ++i) {
        const QFileInfo named(QString::fromLocal8Bit(argv[i]));
        if (!named.isDir()) {
            inputs << named.filePath();
            continue;
        }
        for (const QFileInfo& file : QDir(named.filePath()).entryInfoList(QDir::Files, QDir::Name))
            inputs << file.filePath();
    }
    if (inputs.isEmpty()) {
        std::fprintf(stderr, "replay: no inputs (give corpus folders or files)\n");
        return 1;
    }
    for (const QString& path : inputs) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "replay: %s: %s\n", qUtf8Printable(path),
                         qUtf8Printable(file.errorString()));
            return 1;
        }
        const QByteArray bytes = file.readAll();
        const size_t size = size_t(bytes.size());
        const auto data = std::make_unique<uint8_t[]>(size);
        std::copy(bytes.cbegin(), bytes.cend(), data.get());
        std::fprintf(stderr, "replay: %s\n", qUtf8Printable(path));
        LLVMFuzzerTestOneInput(data.get(), size);
    }
    std::printf("%lld inputs replayed\n", qlonglong(inputs.size()));
    return 0;
}
