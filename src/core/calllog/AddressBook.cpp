#include "core/calllog/AddressBook.h"

#include "core/calllog/DialledNumber.h"
#include "core/settings/ProgramFiles.h"
#include "core/storage/AtomicFile.h"
#include "core/storage/RegularFile.h"
#include "core/storage/TextCodec.h"

#include <QFile>

namespace {

// A name on one line, without the characters that would end or hide it.
QString lineSafe(const QString& name) {
    QString safe;
    for (const QChar c : name)
        safe += c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
                        c == QChar::ParagraphSeparator
                    ? QChar(u' ')
                    : c;
    return safe.simplified();
}

// At most the longest name, never half a character.
QString cut(QString name) {
    if (name.size() > AddressBook::LongestName)
        name.truncate(name.at(AddressBook::LongestName - 1).isHighSurrogate() ? AddressBook::LongestName - 1
                                                                              : AddressBook::LongestName);
    return name.trimmed();
}

} // namespace

QString AddressBook::pathIn(const QString& dataDirectory) {
    return ProgramFiles::path(dataDirectory, FileName);
}

std::optional<AddressBook> AddressBook::read(const QString& path, QString* reason) {
    QFile file;
    bool missing = false;
    if (!RegularFile::open(file, path, reason, &missing)) {
        if (missing)
            return AddressBook();
        return std::nullopt;
    }
    const QByteArray bytes = file.read(LargestFile + 1);
    if (file.error() != QFileDevice::NoError) {
        if (reason)
            *reason = file.errorString();
        return std::nullopt;
    }
    if (bytes.size() > LargestFile) {
        if (reason)
            *reason = QStringLiteral("The file is larger than %1 KiB").arg(LargestFile / 1024);
        return std::nullopt;
    }
    return parse(bytes);
}

AddressBook AddressBook::parse(QByteArrayView bytes) {
    AddressBook book;
    const QString text = TextCodec::decode(bytes);
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            continue;
        const std::optional<QString> number = DialledNumber::clean(line.left(equals));
        const QString name = cut(lineSafe(line.mid(equals + 1).toString()));
        if (number && !name.isEmpty())
            book.entries.push_back({*number, name});
        if (book.entries.size() == size_t(MostEntries))
            break;
    }
    return book;
}

QByteArray AddressBook::text() const {
    QString text =
        QStringLiteral("; Names for numbers: a number, or the start of numbers, then = and a name\n");
    for (const Entry& entry : entries)
        text += entry.number + QLatin1Char('=') + entry.name + QLatin1Char('\n');
    return TextCodec::encode(text).value_or(text.toUtf8());
}

bool AddressBook::write(const QString& path, QString* reason) const {
    if (entries.empty()) {
        QFile file(path);
        if (!file.exists() || file.remove())
            return true;
        if (reason)
            *reason = file.errorString();
        return false;
    }
    return AtomicFile::replace(path, text(), reason);
}

QString AddressBook::check(Entry& entry) {
    const std::optional<QString> number = DialledNumber::clean(entry.number);
    if (!number)
        return QStringLiteral("\"%1\" is not a number: use digits, * and #, with + only at the start, "
                              "at most %2 of them")
            .arg(entry.number.trimmed())
            .arg(DialledNumber::MaxLength);
    const QString name = lineSafe(entry.name);
    if (name.isEmpty())
        return QStringLiteral("The number %1 has no name").arg(*number);
    if (name.size() > LongestName)
        return QStringLiteral("The name \"%1\" is longer than %2 characters").arg(name).arg(LongestName);
    entry = {*number, name};
    return {};
}
