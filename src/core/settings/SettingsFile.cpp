#include "core/settings/SettingsFile.h"

#include "core/storage/AtomicFile.h"
#include "core/storage/RegularFile.h"
#include "core/storage/TextCodec.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

namespace {

struct IniText {
    QStringList lines; // without their line ends
    bool crlf = false; // the file's own line ends, kept on rewrite
};

IniText parse(QByteArrayView bytes) {
    const QString text = TextCodec::decode(bytes);
    IniText ini;
    ini.crlf = text.contains(QLatin1String("\r\n"));
    if (text.isEmpty())
        return ini;
    ini.lines = text.split(QLatin1Char('\n'));
    if (ini.lines.last().isEmpty())
        ini.lines.removeLast();
    for (QString& line : ini.lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return ini;
}

// Nothing when the file cannot be read, or is not a regular file (a named
// pipe in its place would hold every reader of a setting).
std::optional<IniText> load(const QString& path) {
    const std::optional<QByteArray> bytes = RegularFile::readAll(path);
    if (!bytes)
        return std::nullopt;
    return parse(*bytes);
}

// The section name of a "[name]" line.
std::optional<QString> sectionOf(const QString& line) {
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return std::nullopt;
    const int close = t.indexOf(QLatin1Char(']'));
    if (close < 0)
        return std::nullopt;
    return t.mid(1, close - 1).trimmed();
}

// The key of a "key=value" line; comment lines have none.
std::optional<QString> keyOf(const QString& line) {
    const QString t = line.trimmed();
    if (t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#')))
        return std::nullopt;
    const int eq = t.indexOf(QLatin1Char('='));
    if (eq < 0)
        return std::nullopt;
    return t.left(eq).trimmed();
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Lines [first, end) of the section's body; first is -1 when it is absent.
struct SectionSpan {
    int header = -1;
    int end = -1;
};

SectionSpan findSection(const QStringList& lines, const QString& section) {
    SectionSpan span;
    for (int i = 0; i < lines.size(); ++i) {
        const auto name = sectionOf(lines[i]);
        if (!name)
            continue;
        if (span.header >= 0)
            return {span.header, i};
        if (sameName(*name, section))
            span.header = i;
    }
    if (span.header >= 0)
        span.end = int(lines.size());
    return span;
}

int findKey(const QStringList& lines, const SectionSpan& span, const QString& key) {
    for (int i = span.header + 1; i < span.end; ++i) {
        const auto name = keyOf(lines[i]);
        if (name && sameName(*name, key))
            return i;
    }
    return -1;
}

std::optional<QString> valueIn(const QStringList& lines, const QString& section, const QString& key) {
    const SectionSpan span = findSection(lines, section);
    if (span.header < 0)
        return std::nullopt;
    const int at = findKey(lines, span, key);
    if (at < 0)
        return std::nullopt;
    const QString& line = lines[at];
    return line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed().left(SettingsFile::MaxValueLength);
}

// Sets one key in the lines, adding the section and the key as needed.
void setValue(QStringList& lines, const QString& section, const QString& key, const QString& value) {
    const QString entry = key + QLatin1Char('=') + value;
    const SectionSpan span = findSection(lines, section);
    if (span.header < 0) {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines << QString();
        lines << QLatin1Char('[') + section + QLatin1Char(']') << entry;
    } else if (const int at = findKey(lines, span, key); at >= 0) {
        lines[at] = entry;
    } else {
        // After the section's last entry, before the blank lines that part it
        // from the next one.
        int insertAt = span.end;
        while (insertAt > span.header + 1 && lines[insertAt - 1].trimmed().isEmpty())
            --insertAt;
        lines.insert(insertAt, entry);
    }
}

std::optional<int> parseInteger(const QString& text) {
    QString digits = text;
    bool negative = false;
    if (digits.startsWith(QLatin1Char('-')) || digits.startsWith(QLatin1Char('+'))) {
        negative = digits.startsWith(QLatin1Char('-'));
        digits.remove(0, 1);
    }
    int base = 10;
    if (digits.startsWith(QLatin1Char('$'))) {
        base = 16;
        digits.remove(0, 1);
    } else if (digits.size() > 2 && digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        digits.remove(0, 2);
    }
    if (digits.isEmpty())
        return std::nullopt;
    for (QChar c : digits) {
        const bool ok = base == 10 ? c.isDigit() && c.unicode() < 128
                                   : QStringLiteral("0123456789abcdefABCDEF").contains(c);
        if (!ok)
            return std::nullopt;
    }
    bool ok = false;
    const qulonglong magnitude = digits.toULongLong(&ok, base);
    if (!ok)
        return std::nullopt;
    if (base == 16) {
        // Hexadecimal spells the 32-bit pattern, so $FFFFFFFF is -1.
        if (magnitude > 0xFFFFFFFFull)
            return std::nullopt;
        const qint64 value = qint32(quint32(magnitude));
        if (negative && value == -0x7FFFFFFFll - 1)
            return std::nullopt;
        return int(negative ? -value : value);
    }
    if (magnitude > 0x80000000ull)
        return std::nullopt;
    const qlonglong value = negative ? -qlonglong(magnitude) : qlonglong(magnitude);
    if (value > 0x7FFFFFFF)
        return std::nullopt;
    return int(value);
}

} // namespace

QString SettingsSnapshot::ReadSettingString(const QString& section, const QString& key,
                                            const QString& defaultValue) const {
    return valueIn(m_lines, section, key).value_or(defaultValue);
}

int SettingsSnapshot::ReadSettingInteger(const QString& section, const QString& key, int defaultValue) const {
    const auto text = valueIn(m_lines, section, key);
    if (!text)
        return defaultValue;
    return parseInteger(*text).value_or(defaultValue);
}

bool SettingsSnapshot::ReadSettingBool(const QString& section, const QString& key, bool defaultValue) const {
    return ReadSettingInteger(section, key, defaultValue ? 1 : 0) != 0;
}

SettingsChanges& SettingsChanges::setString(const QString& section, const QString& key,
                                            const QString& value) {
    // A line break in a value would start a line of its own.
    QString clean = value;
    clean.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    m_changes.push_back({section, key, clean});
    return *this;
}

SettingsChanges& SettingsChanges::setInteger(const QString& section, const QString& key, int value) {
    return setString(section, key, QString::number(value));
}

SettingsChanges& SettingsChanges::setBool(const QString& section, const QString& key, bool value) {
    return setString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

SettingsSnapshot::SettingsSnapshot(const SettingsFile& file) : SettingsSnapshot(file.readAll()) {}

SettingsSnapshot SettingsFile::readAll() const {
    SettingsSnapshot snapshot;
    if (auto ini = load(m_path))
        snapshot.m_lines = std::move(ini->lines);
    return snapshot;
}

QString SettingsFile::ReadSettingString(const QString& section, const QString& key,
                                        const QString& defaultValue) const {
    return readAll().ReadSettingString(section, key, defaultValue);
}

int SettingsFile::ReadSettingInteger(const QString& section, const QString& key, int defaultValue) const {
    return readAll().ReadSettingInteger(section, key, defaultValue);
}

bool SettingsFile::ReadSettingBool(const QString& section, const QString& key, bool defaultValue) const {
    return readAll().ReadSettingBool(section, key, defaultValue);
}

bool SettingsFile::write(const SettingsChanges& changes) const {
    m_reason.clear();
    if (changes.m_changes.empty())
        return true;
    IniText ini;
    if (QFileInfo::exists(m_path)) {
        // A file we cannot read cannot be rewritten without losing it; one we
        // may not write must stay as it is, though the rename would allow it.
        const auto loaded = load(m_path);
        if (!loaded)
            return fail(QStringLiteral("The file cannot be read"));
        if (!QFileInfo(m_path).isWritable())
            return fail(QStringLiteral("Permission denied"));
        ini = *loaded;
    }
    for (const SettingsChanges::Change& change : changes.m_changes)
        setValue(ini.lines, change.section, change.key, change.value);

    const QString lineEnd = ini.crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
    const std::optional<QByteArray> bytes = TextCodec::encode(ini.lines.join(lineEnd) + lineEnd);
    if (!bytes) {
        for (const SettingsChanges::Change& change : changes.m_changes) {
            if (!TextCodec::encode(change.value))
                return fail(QStringLiteral("The value \"%1\" cannot be stored as text").arg(change.value));
        }
        return fail(QStringLiteral("The file cannot be stored as text"));
    }

    QString reason;
    if (!AtomicFile::replace(m_path, *bytes, &reason))
        return fail(reason);
    return true;
}

bool SettingsFile::WriteSettingString(const QString& section, const QString& key,
                                      const QString& value) const {
    return write(SettingsChanges().setString(section, key, value));
}

bool SettingsFile::WriteSettingInteger(const QString& section, const QString& key, int value) const {
    return write(SettingsChanges().setInteger(section, key, value));
}

bool SettingsFile::WriteSettingBool(const QString& section, const QString& key, bool value) const {
    return write(SettingsChanges().setBool(section, key, value));
}

bool SettingsFile::fail(const QString& reason) const {
    m_reason = reason;
    return false;
}

QString SettingsFile::failureText() const {
    const QString text = QStringLiteral("Unable to write to ") + m_path;
    return m_reason.isEmpty() ? text : text + QLatin1Char('\n') + m_reason;
}

SettingsText::SettingsText(QByteArrayView bytes) : m_lines(parse(bytes).lines) {}

std::optional<QString> SettingsText::value(const QString& section, const QString& key) const {
    return valueIn(m_lines, section, key);
}
