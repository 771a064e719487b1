#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class SettingsFile;

// The settings file as it was read at one moment. It answers the questions the
// file answers, by the same rules, without opening the file again: a reading
// of many keys reads the file once and hands this on. A file that could not be
// read answers every question with its default.
class SettingsSnapshot {
public:
    SettingsSnapshot() = default;
    // The file as it is now. Implicit, so that a reader of many keys given
    // the file reads it once.
    SettingsSnapshot(const SettingsFile& file);

    QString ReadSettingString(const QString& section, const QString& key, const QString& defaultValue) const;
    // Decimal, or hexadecimal after "0x"/"0X" or "$"; anything else gives the default.
    int ReadSettingInteger(const QString& section, const QString& key, int defaultValue) const;
    bool ReadSettingBool(const QString& section, const QString& key, bool defaultValue) const;

private:
    friend class SettingsFile;
    QStringList m_lines; // without their line ends
};

// Keys to store together, in one rewrite of the file.
class SettingsChanges {
public:
    SettingsChanges& setString(const QString& section, const QString& key, const QString& value);
    SettingsChanges& setInteger(const QString& section, const QString& key, int value);
    SettingsChanges& setBool(const QString& section, const QString& key, bool value);

private:
    friend class SettingsFile;
    struct Change {
        QString section;
        QString key;
        QString value;
    };
    std::vector<Change> m_changes;
};

// The INI settings file. Every operation opens the file by its path and keeps
// nothing in memory, so a value written anywhere is seen by the next read.
// Sections and keys match without regard to case; values are trimmed and at
// most 1023 characters; the text on disk follows TextCodec (Windows-1252 when
// every character fits, else UTF-8). Every rewrite goes through a temporary
// file and an atomic rename.
class SettingsFile {
public:
    static constexpr int MaxValueLength = 1023;

    explicit SettingsFile(QString path) : m_path(std::move(path)) {}
    const QString& path() const { return m_path; }

    // The whole file, opened and read once.
    SettingsSnapshot readAll() const;

    QString ReadSettingString(const QString& section, const QString& key, const QString& defaultValue) const;
    int ReadSettingInteger(const QString& section, const QString& key, int defaultValue) const;
    bool ReadSettingBool(const QString& section, const QString& key, bool defaultValue) const;

    // Each returns false when the file cannot be written; failureText() then
    // says so, with the reason, and the file is as it was. Nothing to change
    // leaves the file alone.
    bool write(const SettingsChanges& changes) const;
    bool WriteSettingString(const QString& section, const QString& key, const QString& value) const;
    bool WriteSettingInteger(const QString& section, const QString& key, int value) const;
    bool WriteSettingBool(const QString& section, const QString& key, bool value) const;

    // "Unable to write to <path>", then the reason of the last failed write.
    QString failureText() const;

private:
    bool fail(const QString& reason) const;

    QString m_path;
    mutable QString m_reason;
};

// The text of a file in the settings file's form, read once: for a file of
// many keys that is read as a whole. The same rules as SettingsFile's.
class SettingsText {
public:
    explicit SettingsText(QByteArrayView bytes);
    // Nothing when the section or the key is not there.
    std::optional<QString> value(const QString& section, const QString& key) const;

private:
    QStringList m_lines;
};
