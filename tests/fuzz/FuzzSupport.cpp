#include "fuzz/FuzzSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace FuzzSupport {

QString scratchPath(const QString& name) {
    // In memory where the system offers it: every atomic rewrite of the
    // readers syncs its file to the disk, which would take most of a run.
    static const QString memory = QStringLiteral("/dev/shm");
    static QTemporaryDir scratch(QFileInfo(memory).isWritable()
                                     ? memory + QStringLiteral("/dialtally-fuzz-XXXXXX")
                                     : QDir::tempPath() + QStringLiteral("/dialtally-fuzz-XXXXXX"));
    if (!scratch.isValid())
        fail(QStringLiteral("no scratch directory: ") + scratch.errorString());
    return scratch.filePath(name);
}

void writeFile(const QString& path, QByteArrayView bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes.data(), bytes.size()) != bytes.size())
        fail(path + QStringLiteral(": ") + file.errorString());
}

QByteArrayView bytesOf(const uint8_t* data, size_t size) {
    return QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size));
}

QList<QByteArrayView> parts(QByteArrayView input) {
    QList<QByteArrayView> found;
    for (qsizetype at = input.indexOf(Separator); at >= 0; at = input.indexOf(Separator)) {
        found << input.first(at);
        input = input.sliced(at + Separator.size());
    }
    found << input;
    return found;
}

int Choices::pick(int count) {
    return count > 0 ? byte() % count : 0;
}

int Choices::number(int lowest, int highest) {
    const int span = highest - lowest + 1;
    return lowest + ((byte() << 8) | byte()) % span;
}

void fail(const QString& what) {
    std::fprintf(stderr, "fuzz: %s\n", qUtf8Printable(what));
    std::abort();
}

} // namespace FuzzSupport

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Before anything reads the clock's zone: Qt takes it from TZ.
    qputenv("TZ", "Europe/London");
    tzset();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    // The meter's timers want an application; it lives as long as the run.
    static int count = 1;
    static char* arguments[] = {(*argc > 0 ? (*argv)[0] : const_cast<char*>("fuzz")), nullptr};
    new QCoreApplication(count, arguments);
    return 0;
}
