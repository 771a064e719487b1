#include "core/storage/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
bool fail(QString* reason, const QString& why) {
    if (reason)
        *reason = why;
    return false;
}
} // namespace

AtomicFile::AtomicFile(QString path) : m_path(std::move(path)) {}

// A QSaveFile closed without a commit removes its temporary file.
AtomicFile::~AtomicFile() = default;

bool AtomicFile::open(QString* reason) {
    const QFileInfo target(m_path); // through a link, what it points to
    m_direct = target.exists() && !target.isFile() && !target.isDir();
    // Unbuffered, and every write checked here: QSaveFile's commit does not
    // report a failure of the write of its buffer, and would put a short file
    // (an empty one on a full disk) in place of the old one.
    if (m_direct)
        m_file = std::make_unique<QFile>(m_path);
    else
        m_file = std::make_unique<QSaveFile>(m_path);
    if (!m_file->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const QString why = m_file->errorString();
        m_file.reset();
        return fail(reason, why);
    }
    return true;
}

bool AtomicFile::write(QByteArrayView bytes, QString* reason) {
    if (!m_file)
        return fail(reason, QStringLiteral("The file is not open"));
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 written = m_file->write(bytes.data() + done, bytes.size() - done);
        if (written <= 0) {
            const QString why = m_file->errorString();
            m_file.reset(); // a temporary file goes with it
            return fail(reason, why);
        }
        done += written;
    }
    return true;
}

bool AtomicFile::commit(QString* reason) {
    if (!m_file)
        return fail(reason, QStringLiteral("The file is not open"));
    const std::unique_ptr<QFileDevice> file = std::move(m_file);
    if (m_direct) {
        const bool flushed = file->flush();
        const QString why = file->errorString();
        file->close();
        return flushed || fail(reason, why);
    }
    auto* save = static_cast<QSaveFile*>(file.get());
    return save->commit() || fail(reason, save->errorString());
}

bool AtomicFile::replace(const QString& path, QByteArrayView contents, QString* reason) {
    AtomicFile file(path);
    return file.open(reason) && file.write(contents, reason) && file.commit(reason);
}
