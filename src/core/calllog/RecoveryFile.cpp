#include "core/calllog/RecoveryFile.h"

#include "core/calllog/CallNumberLog.h"
#include "core/calllog/RateNameStore.h"
#include "core/storage/AtomicFile.h"
#include "core/storage/RegularFile.h"
#include "core/storage/TextCodec.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace {
constexpr char Magic[] = "DTKC";
constexpr quint32 Version = 1;
constexpr quint32 NumbersVersion = 2;
constexpr qsizetype EntrySize = CallRecordCodec::Size + RateNameRecordCodec::Size;
constexpr qsizetype NumberSize = CallNumberCodec::Size;
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
    const auto failed = [reason](const QString& why) -> std::optional<Contents> {
        fail(reason, why);
        return std::nullopt;
    };
    const QString damaged = QStringLiteral("Damaged: not a whole file of kept calls");
    QFile file;
    QString why;
    bool missing = false;
    if (!RegularFile::open(file, m_path, &why, &missing))
        return failed(missing ? QStringLiteral("No such file") : why);
    if (file.size() > FileLimit)
        return failed(damaged);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return failed(file.errorString());

    QDataStream in(bytes);
    in.setByteOrder(QDataStream::LittleEndian);
    const auto text = [&in] {
        quint32 length = 0;
        in >> length;
        QByteArray field(qsizetype(std::min(length, TextLimit)), '\0');
        if (length > TextLimit || in.readRawData(field.data(), int(field.size())) != field.size())
            in.setStatus(QDataStream::ReadCorruptData);
        return TextCodec::decode(field);
    };
    char magic[4] = {};
    quint32 version = 0;
    quint32 count = 0;
    in.readRawData(magic, 4);
    in >> version;
    const QString directory = text();
    Contents contents{{}, text()};
    in >> count;
    const qsizetype entrySize = EntrySize + (version == NumbersVersion ? NumberSize : 0);
    if (QByteArrayView(magic, 4) != QByteArrayView(Magic, 4) ||
        (version != Version && version != NumbersVersion) || in.status() != QDataStream::Ok ||
        bytes.size() - in.device()->pos() != qint64(count) * entrySize)
        return failed(damaged);
    if (directory != m_dataDirectory)
        return failed(QStringLiteral("Holds the calls of another data directory, %1").arg(directory));
    for (quint32 i = 0; i < count; ++i) {
        char entry[EntrySize + NumberSize];
        in.readRawData(entry, int(entrySize));
        KeptCall call{
            CallRecordCodec::read(entry), RateNameRecordCodec::read(entry + CallRecordCodec::Size).name, {}};
        call.record.rateNameKey = 0;
        if (entrySize > EntrySize) {
            if (const std::optional<CallNumber> number = CallNumberCodec::read(entry + EntrySize))
                call.number = number->number;
        }
        contents.calls.push_back(call);
    }
    return contents;
}

bool RecoveryFile::save(const std::vector<KeptCall>& calls, const QString& why, QString* reason) const {
    if (m_path.isEmpty())
        return fail(reason, QStringLiteral("No state directory is known"));
    if (!makeDirectory(m_stateDirectory, reason))
        return false;
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    const auto text = [&out](const QString& value) {
        const QByteArray encoded = TextCodec::encode(value).value_or(value.toUtf8()).left(TextLimit);
        out << quint32(encoded.size());
        out.writeRawData(encoded.constData(), int(encoded.size()));
    };
    const bool numbers =
        std::any_of(calls.begin(), calls.end(), [](const KeptCall& call) { return !call.number.isEmpty(); });
    out.writeRawData(Magic, 4);
    out << (numbers ? NumbersVersion : Version);
    text(m_dataDirectory);
    text(why);
    out << quint32(calls.size());
    for (const KeptCall& call : calls) {
        char entry[EntrySize];
        CallRecordCodec::write(call.record, entry);
        RateNameRecordCodec::write({call.rateName, 0}, entry + CallRecordCodec::Size);
        out.writeRawData(entry, EntrySize);
        if (numbers) {
            char number[NumberSize];
            CallNumberCodec::write({call.record.date, call.number}, number);
            out.writeRawData(number, NumberSize);
        }
    }
    return AtomicFile::replace(m_path, bytes, reason);
}

void RecoveryFile::remove() const {
    if (!m_path.isEmpty())
        QFile::remove(m_path);
}

std::optional<QString> RecoveryFile::setAside(QString* reason) const {
    QString aside = m_path + QStringLiteral(".damaged");
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = m_path + QStringLiteral(".damaged%1").arg(n);
    QFile file(m_path);
    if (file.rename(aside))
        return aside;
    fail(reason, file.errorString());
    return std::nullopt;
}
