#pragma once

#include <QByteArrayView>
#include <QString>

#include <memory>

class QSaveFile;

// Writing a whole file. A regular file (or a missing one) gets its new
// contents in a temporary file in the same directory, which takes the old
// file's place with an atomic rename once every byte is written; through a
// symbolic link the file it points to is replaced and the link kept. Anything
// else (a device, a named pipe) is written directly: renaming over it would
// put a regular file in place of the device or pipe. A named pipe must have
// its reader already: nothing waits for one; a reader that stops reading is
// waited for StallLimitMs at most, and a signal ends the wait. Every write is
// checked. On failure a replaced file is untouched and reason (when given)
// says why.
class AtomicFile {
public:
    static constexpr int StallLimitMs = 5000;

    explicit AtomicFile(QString path);
    // Without a commit the old file stays as it was.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool open(QString* reason = nullptr);
    bool write(QByteArrayView bytes, QString* reason = nullptr);
    // Puts the new contents in place.
    bool commit(QString* reason = nullptr);

    // open, write and commit in one.
    static bool replace(const QString& path, QByteArrayView contents, QString* reason = nullptr);

private:
    bool writeDirect(QByteArrayView bytes, QString* reason);
    void closeDirect();

    QString m_path;
    std::unique_ptr<QSaveFile> m_file;
    int m_direct = -1; // a device or pipe, written without blocking
};
