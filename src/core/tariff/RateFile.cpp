#include "core/tariff/RateFile.h"

#include "core/settings/ProgramFiles.h"
#include "core/storage/AtomicFile.h"
#include "core/storage/RegularFile.h"
#include "core/storage/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace RateFileCodec {

QByteArray write(const RateTable& table) {
    QByteArray record(RecordSize, '\0');
    for (int i = 0; i < RateTable::SlotCount; ++i) {
        const QByteArray text = TextCodec::encodeCut(table.texts[i], TextWidth).value_or(QByteArray());
        char* slot = record.data() + i * SlotSize;
        slot[0] = char(text.size());
        std::copy(text.cbegin(), text.cend(), slot + 1);
    }
    return record;
}

RateTable read(const QByteArray& record) {
    RateTable table;
    if (record.size() < RecordSize)
        return table;
    for (int i = 0; i < RateTable::SlotCount; ++i) {
        const char* slot = record.constData() + i * SlotSize;
        const int length = std::min(int(quint8(slot[0])), TextWidth);
        table.texts[i] = TextCodec::decode(QByteArrayView(slot + 1, length));
    }
    return table;
}

std::optional<double> parseNumber(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral("^ *([+-]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)(?:[eE][+-]?[0-9]+)?) *$"));
    const QRegularExpressionMatch m = number.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = m.captured(1).toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

QString notANumberText(const QString& text) {
    return QStringLiteral("'%1' is not a valid floating point value").arg(text);
}

} // namespace RateFileCodec

std::optional<RateTable> readRateFile(const QString& path, QString* reason) {
    QFile file;
    if (!RegularFile::open(file, path, reason))
        return std::nullopt;
    const QByteArray record = file.read(RateFileCodec::RecordSize);
    if (record.size() < RateFileCodec::RecordSize) {
        if (reason)
            *reason = file.error() != QFileDevice::NoError ? file.errorString()
                                                           : QStringLiteral("The file is too short");
        return std::nullopt;
    }
    return RateFileCodec::read(record);
}

bool writeRateFile(const QString& path, const RateTable& table, QString* reason) {
    return AtomicFile::replace(path, RateFileCodec::write(table), reason);
}

QStringList rateFileNames(const QString& directory) {
    const QString& extension = ProgramFiles::RateFileExtension;
    const QDir listing(directory, QStringLiteral("*") + extension, QDir::NoSort,
                       QDir::Files | QDir::Hidden | QDir::CaseSensitive);
    QStringList files = listing.entryList();
    // The extension is left out of the comparison.
    std::sort(files.begin(), files.end(), [&extension](const QString& a, const QString& b) {
        const QStringView left = QStringView(a).chopped(extension.size());
        const QStringView right = QStringView(b).chopped(extension.size());
        const int caseless = left.compare(right, Qt::CaseInsensitive);
        return caseless != 0 ? caseless < 0 : left < right;
    });
    return files;
}
