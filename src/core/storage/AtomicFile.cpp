#include "core/storage/AtomicFile.h"

#include <QSaveFile>

namespace AtomicFile {

bool replace(const QString& path, QByteArrayView contents, QString* reason) {
    const auto fail = [reason](const QString& why) {
        if (reason)
            *reason = why;
        return false;
    };
    // Unbuffered, and every write checked here: QSaveFile's commit does not
    // report a failure of the write of its buffer, and would put a short file
    // (an empty one on a full disk) in place of the old one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(file.errorString());
    qint64 done = 0;
    while (done < contents.size()) {
        const qint64 written = file.write(contents.data() + done, contents.size() - done);
        if (written <= 0) {
            const QString why = file.errorString();
            file.cancelWriting();
            return fail(why);
        }
        done += written;
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

} // namespace AtomicFile
