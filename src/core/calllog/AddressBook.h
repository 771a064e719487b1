#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// Names for numbers, in "AddressBook.txt" in the data directory: one line per
// entry, a number or the start of numbers (an internet provider's access
// numbers, a company's switchboard), "=", and a name. Lines starting with ";"
// or "#" are comments. It is text in the program's text rule, edited in the
// setup and by hand, so it is read as far as it can be: a line that is no
// entry is passed over, a name is cut to its longest, and only the first
// MostEntries entries count.
class AddressBook {
public:
    static inline const QString FileName = QStringLiteral("AddressBook.txt");
    static constexpr int MostEntries = 500;
    static constexpr int LongestName = 40;
    static constexpr qint64 LargestFile = 64 * 1024;

    struct Entry {
        QString number; // in DialledNumber's kept form
        QString name;
        bool operator==(const Entry&) const = default;
    };

    static QString pathIn(const QString& dataDirectory);

    // No file is an empty book; nothing, and the reason, when the file is
    // there but cannot be read (or is larger than LargestFile).
    static std::optional<AddressBook> read(const QString& path, QString* reason = nullptr);
    static AddressBook parse(QByteArrayView bytes);
    QByteArray text() const;
    // Replaces the file whole; an empty book removes it.
    bool write(const QString& path, QString* reason = nullptr) const;

    // What is wrong with an entry as typed (empty when nothing); on success
    // entry holds the kept form.
    static QString check(Entry& entry);

    std::vector<Entry> entries;
};
