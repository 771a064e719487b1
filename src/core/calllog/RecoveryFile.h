#pragma once

#include "core/calllog/KeptCall.h"

#include <QString>

#include <optional>
#include <vector>

// The calls of one data directory that could not be written to its log, kept
// in the user's state directory until they can be. The file is named after the
// data directory and holds its path, so two data directories never mix their
// calls. It is only ever replaced whole: a crash leaves the old one or the new.
//
// Layout, little-endian, numbers of 32 bits: "DTKC", the version 1; the data
// directory and then why the calls were kept, each as its length and its text;
// the number of calls; then for each call its 48-byte log record followed by
// its 34-byte rate-name record (the name; the key is not used). Version 2,
// written only when a call has its number dialled, adds after each call the
// number: a length byte and 31 characters.
class RecoveryFile {
public:
    // A file name for the data directory in the state directory; none when the
    // state directory is empty.
    RecoveryFile(const QString& dataDirectory, const QString& stateDirectory);
    const QString& path() const { return m_path; }
    bool exists() const;

    struct Contents {
        std::vector<KeptCall> calls;
        QString why;
    };
    // Nothing, and the reason, when the file cannot be read, is damaged or is
    // another directory's.
    std::optional<Contents> load(QString* reason = nullptr) const;
    // Creates the state directory (private to the user) when needed.
    bool save(const std::vector<KeptCall>& calls, const QString& why, QString* reason = nullptr) const;
    void remove() const;
    // Moves the file aside under a free name, kept for the user to look at; that
    // name, or nothing and the reason.
    std::optional<QString> setAside(QString* reason = nullptr) const;

private:
    QString m_dataDirectory;
    QString m_stateDirectory;
    QString m_path;
};
