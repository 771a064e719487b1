#include "system/XdgAutostart.h"

#include "core/storage/AtomicFile.h"

#include <QDir>
#include <QFile>

namespace {
// An Exec argument: quoted when it holds a reserved character, with the
// quoting escapes inside; then the key file's own escape for the backslash,
// and "%" doubled so it is not read as a field code.
QString execArgument(const QString& path) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString arg = path;
    bool quote = false;
    for (QChar c : path)
        quote = quote || reserved.contains(c);
    if (quote) {
        QString escaped;
        for (QChar c : path) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
                c == QLatin1Char('\\'))
                escaped += QLatin1Char('\\');
            escaped += c;
        }
        arg = QLatin1Char('"') + escaped + QLatin1Char('"');
    }
    arg.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    arg.replace(QLatin1Char('%'), QStringLiteral("%%"));
    arg.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    return arg;
}
} // namespace

XdgAutostart::XdgAutostart(QString configHome) : m_configHome(std::move(configHome)) {
    if (m_configHome.isEmpty()) {
        const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
        // XDG base directories must be absolute; a relative one is ignored.
        m_configHome = QDir::isAbsolutePath(xdg) ? xdg : QDir::homePath() + QStringLiteral("/.config");
    }
}

QString XdgAutostart::entryPath() const {
    return m_configHome + QStringLiteral("/autostart/dialtally-pro.desktop");
}

bool XdgAutostart::exists() const {
    return QFile::exists(entryPath());
}

QString XdgAutostart::enable(const QString& programPath) {
    const QString dir = m_configHome + QStringLiteral("/autostart");
    if (!QDir().mkpath(dir))
        return QStringLiteral("Failed to create key %1").arg(dir);

    // The program's own desktop entry, starting this very program, with the autostart key.
    QFile menuEntry(QStringLiteral(":/dialtally-pro.desktop"));
    if (!menuEntry.open(QIODevice::ReadOnly))
        return QStringLiteral("Failed to set data for '%1'").arg(entryPath());
    QStringList lines = QString::fromUtf8(menuEntry.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (QString& line : lines) {
        if (line.startsWith(QLatin1String("Exec=")))
            line = QStringLiteral("Exec=") + execArgument(programPath);
    }
    lines << QStringLiteral("X-GNOME-Autostart-enabled=true");
    if (AtomicFile::replace(entryPath(), (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8()))
        return {};
    return QStringLiteral("Failed to set data for '%1'").arg(entryPath());
}

void XdgAutostart::disable() {
    QFile::remove(entryPath());
}
