#include "core/calllog/RecoveryFile.h"

#include "core/calllog/RateNameStore.h"
#include "core/storage/AtomicFile.h"
#include "core/storage/TextCodec.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cerrno>
#include <sys/stat.h>

namespace {
constexpr char Magic[] = "DTKC";
constexpr quint32 Version = 1;
constexpr qsizetype EntrySize = CallRecordCodec::Size + RateNameRecordCodec::Size;
// Far beyond any real path or reason, and any number of calls kept in memory.
constexpr quint32 TextLimit = 1 << 16;
constexpr qint64 FileLimit = qint64(64) << 20;

bool fail(QString* reason, const QString& why) {
    if (reason)
        *reason = why;
    return false;
}

// The one name of a directory, whichever link or spelling led to it.
QString canonicalDirectory(const QString& directory) {
    const QString canonical = QFileInfo(directory).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(QDir(directory).absolutePath()) : canonical;
}

void putNumber(QByteArray& out, quint32 number) {
    char bytes[4];
    qToLittleEndian(number, bytes);
    out.append(bytes, 4);
}

void putText(QByteArray& out, const QString& text) {
    const QByteArray bytes = TextCodec::encode(text).value_or(text.toUtf8()).left(TextLimit);
    putNumber(out, quint32(bytes.size()));
    out.append(bytes);
}

// Reads the file's fields in order; any field past the end or out of its range
// marks the whole file as damaged.
class Fields {
public:
    explicit Fields(QByteArrayView bytes) : m_rest(bytes) {}
    bool ok() const { return m_ok; }
    QByteArrayView take(qsizetype n) {
        if (!m_ok || n > m_rest.size()) {
            m_ok = false;
            return {};
        }
        const QByteArrayView taken = m_rest.first(n);
        m_rest = m_rest.sliced(n);
        return taken;
    }
    quint32 number() {
        const QByteArrayView bytes = take(4);
        return m_ok ? qFromLittleEndian<quint32>(bytes.data()) : 0;
    }
    QString text() {
        const quint32 length = number();
        if (length > TextLimit)
            m_ok = false;
        return TextCodec::decode(take(length));
    }
    qsizetype left() const { return m_rest.size(); }

private:
    QByteArrayView m_rest;
    bool m_ok = true;
};

// The directory and those above it that are missing, made private to the user.
bool makeDirectory(const QString& path, QString* reason) {
    if (QFileInfo(path).isDir())
        return true;
    const QString parent = QFileInfo(path).path();
    if (parent != path && !makeDirectory(parent, reason))
        return false;
    if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST)
        return fail(reason, qt_error_string(errno));
    return true;
}
} // namespace

RecoveryFile::RecoveryFile(const QString& dataDirectory, const QString& stateDirectory)
    : m_dataDirectory(canonicalDirectory(dataDirectory)), m_stateDirectory(stateDirectory) {
    if (m_stateDirectory.isEmpty())
        return;
    const QByteArray hash = QCryptographicHash::hash(m_dataDirectory.toUtf8(), QCryptographicHash::Sha256);
    m_path = m_stateDirectory + QStringLiteral("/kept-calls-") + QString::fromLatin1(hash.toHex().left(16));
}

bool RecoveryFile::exists() const {
    return !m_path.isEmpty() && QFileInfo::exists(m_path);
}

std::optional<RecoveryFile::Contents> RecoveryFile::load(QString* reason) const {
    // Checked before the open, which a FIFO in its place would block.
    const QFileInfo info(m_path);
    if (!info.isFile()) {
        fail(reason, info.exists() ? QStringLiteral("Not a regular file") : QStringLiteral("No such file"));
        return std::nullopt;
    }
    const QString damaged = QStringLiteral("Damaged: not a whole file of kept calls");
    if (info.size() > FileLimit) {
        fail(reason, damaged);
        return std::nullopt;
    }
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(reason, file.errorString());
        return std::nullopt;
    }
    const QByteArray bytes = file.read(FileLimit + 1);
    if (file.error() != QFileDevice::NoError) {
        fail(reason, file.errorString());
        return std::nullopt;
    }

    Fields fields(bytes);
    const bool known = fields.take(4) == QByteArrayView(Magic, 4) && fields.number() == Version;
    Contents contents;
    const QString directory = fields.text();
    contents.why = fields.text();
    const quint32 count = fields.number();
    if (!known || !fields.ok() || fields.left() != qsizetype(count) * EntrySize) {
        fail(reason, damaged);
        return std::nullopt;
    }
    if (directory != m_dataDirectory) {
        fail(reason, QStringLiteral("Holds the calls of another data directory, %1").arg(directory));
        return std::nullopt;
    }
    contents.calls.reserve(count);
    for (quint32 i = 0; i < count; ++i) {
        const QByteArrayView entry = fields.take(EntrySize);
        KeptCall call;
        call.record = CallRecordCodec::read(entry.data());
        call.record.rateNameKey = 0;
        call.rateName = RateNameRecordCodec::read(entry.data() + CallRecordCodec::Size).name;
        contents.calls.push_back(call);
    }
    return contents;
}

bool RecoveryFile::save(const std::vector<KeptCall>& calls, const QString& why, QString* reason) const {
    if (m_path.isEmpty())
        return fail(reason, QStringLiteral("No state directory is known"));
    if (!makeDirectory(m_stateDirectory, reason))
        return false;
    QByteArray bytes(Magic, 4);
    putNumber(bytes, Version);
    putText(bytes, m_dataDirectory);
    putText(bytes, why);
    putNumber(bytes, quint32(calls.size()));
    for (const KeptCall& call : calls) {
        char entry[EntrySize];
        CallRecordCodec::write(call.record, entry);
        RateNameRecordCodec::write({call.rateName, 0}, entry + CallRecordCodec::Size);
        bytes.append(entry, EntrySize);
    }
    return AtomicFile::replace(m_path, bytes, reason);
}

bool RecoveryFile::remove(QString* reason) const {
    QFile file(m_path);
    if (!exists() || file.remove())
        return true;
    return fail(reason, file.errorString());
}

std::optional<QString> RecoveryFile::setAside(QString* reason) const {
    for (int n = 1; n < 1000; ++n) {
        const QString aside = m_path + QStringLiteral(".damaged") + (n > 1 ? QString::number(n) : QString());
        if (QFileInfo::exists(aside))
            continue;
        QFile file(m_path);
        if (file.rename(aside))
            return aside;
        fail(reason, file.errorString());
        return std::nullopt;
    }
    fail(reason, QStringLiteral("No free name to set it aside"));
    return std::nullopt;
}
