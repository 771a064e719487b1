#include "core/viewer/CallExport.h"

#include "core/seams/DayCount.h"
#include "core/storage/AtomicFile.h"
#include "core/storage/TextCodec.h"
#include "core/viewer/CallLogViewer.h"
#include "core/viewer/CallTableModel.h"

#include <QDir>
#include <QLocale>
#include <QRegularExpression>

namespace CallExport {

namespace {
int fieldWidth(const CallTableModel& table, int gridColumn) {
    return viewerColumnInfo(table.layout().columnAt(gridColumn)).fieldWidth;
}

QString ruleLine(const CallTableModel& table) {
    QString line = QStringLiteral("+");
    for (int i = 0; i < table.columnCount(); ++i)
        line += QString(fieldWidth(table, i), QLatin1Char('-')) + QLatin1Char('+');
    return line;
}

QString ruledRow(const CallTableModel& table, int row) {
    QString line = QStringLiteral("|");
    for (int i = 0; i < table.columnCount(); ++i)
        line += CentreInColumn(table.cellText(row, i), fieldWidth(table, i)) + QLatin1Char('|');
    return line;
}

QString commaField(const QString& text) {
    static const QString special = QStringLiteral(",\"\r\n");
    if (std::none_of(text.cbegin(), text.cend(), [](QChar c) { return special.contains(c); }))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}
} // namespace

QStringList headerLines(bool printout, double now, bool selectionOnly, const QString& summary) {
    const QDateTime created = DayCount::toDateTime(now);
    const QLocale locale;
    // The system's long time, without the time zone the clock does not keep.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QRegularExpression(QStringLiteral("\\s*\\bt+\\b")));
    return {printout ? QStringLiteral("Dialtally Pro v1.0 Call log Printout")
                     : QStringLiteral("Dialtally Pro v1.0 exported call log file."),
            QStringLiteral("Created On %1 at %2.")
                .arg(locale.toString(created.date(), QLocale::ShortFormat),
                     locale.toString(created.time(), timeFormat.trimmed())),
            selectionOnly ? QStringLiteral("Contains A Selection of Calls Only.")
                          : QStringLiteral("Contains All Calls."),
            summary};
}

QString CentreInColumn(const QString& text, int width) {
    if (text.size() > width)
        return QLatin1Char(' ') + text + QLatin1Char(' ');
    const qsizetype left = (width - text.size()) / 2;
    return QString(left, QLatin1Char(' ')) + text + QString(width - left - text.size(), QLatin1Char(' '));
}

QStringList textLayout(const CallTableModel& table, const QStringList& header, int first, int last) {
    QStringList lines = header;
    lines << QString() << ruleLine(table) << ruledRow(table, -1) << ruleLine(table);
    for (int row = first; row <= last; ++row)
        lines << ruledRow(table, row);
    lines << ruleLine(table);
    return lines;
}

QStringList commaLayout(const CallTableModel& table, const QStringList& header, int first, int last,
                        bool withTitles) {
    const auto line = [&table](int row) {
        QString text;
        for (int i = 0; i < table.columnCount(); ++i)
            text += commaField(table.cellText(row, i)) + QLatin1Char(',');
        return text;
    };
    QStringList lines = header;
    lines << QString();
    if (withTitles)
        lines << line(-1);
    for (int row = first; row <= last; ++row)
        lines << line(row);
    return lines;
}

QString fileNameFor(const QString& chosen, int filterIndex) {
    if (chosen.size() >= 4 && chosen[chosen.size() - 4] == QLatin1Char('.'))
        return chosen;
    if (filterIndex == 0)
        return chosen + QStringLiteral(".prn");
    if (filterIndex == 1)
        return chosen + QStringLiteral(".txt");
    return chosen;
}

bool isCommaFile(const QString& fileName) {
    return fileName.endsWith(QStringLiteral("prn"), Qt::CaseInsensitive);
}

std::optional<QByteArray> bytesOf(const QStringList& lines) {
    const QString text = lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    std::optional<QByteArray> bytes = TextCodec::encode(text);
    // Spreadsheets take a file without a byte-order mark for the system's code page.
    if (bytes && TextCodec::readsAsUtf8(*bytes))
        bytes->prepend("\xEF\xBB\xBF");
    return bytes;
}

QString write(const QString& path, const QStringList& lines) {
    const std::optional<QByteArray> bytes = bytesOf(lines);
    if (!bytes)
        return CallLogViewer::cannotWrite(path, QStringLiteral("The text cannot be stored"));
    QString reason;
    if (!AtomicFile::replace(path, *bytes, &reason))
        return CallLogViewer::cannotWrite(path, reason);
    return {};
}

} // namespace CallExport
