#pragma once

#include "fuzz/FuzzSupport.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// The program directory of the targets that read several of its files, filled
// afresh for each input from its parts (see FuzzSupport::parts):
//   0 the call log, 1 the target's choices, 2 the rate-name store (else three
//   names: "BT Saver", a name with a comma and quotes, a Cyrillic one), 3 the
//   settings, 4 and 5 the rate files "BT Saver.dtr" and "Cable.dtr", 6 and 7
//   their billing rules.
// Whatever a part does not give is absent, and whatever the last input left
// (a sorted copy, an export) is gone.
// The choices begin with the moment the clock reads.
class DataFolder {
public:
    explicit DataFolder(const QString& name);

    const QString& path() const { return m_path; }
    QString file(const QString& name) const;

    struct Filled {
        std::optional<FuzzSupport::Choices> choices; // what is left of them
        double now;                                  // local, as a day count
    };
    // An input without choices: a Wednesday afternoon, the log as it is.
    Filled fill(QByteArrayView input);
    // A file fill() wrote that no longer holds what it wrote, or nothing.
    QString changedFile() const;

    static inline const QStringList RateNames = {QStringLiteral("BT Saver"),
                                                 QStringLiteral("Cable, \"Wireless\""),
                                                 QStringLiteral("\u0422\u0430\u0440\u0438\u0444")};
    static inline const QStringList Files = {QStringLiteral("BT Saver.dtr"), QStringLiteral("Cable.dtr"),
                                             QStringLiteral("BT Saver.billing"),
                                             QStringLiteral("Cable.billing")};

private:
    void write(const QString& path, QByteArrayView bytes);

    QString m_path;
    QByteArray m_defaultStore;
    QHash<QString, QByteArray> m_written;
};
