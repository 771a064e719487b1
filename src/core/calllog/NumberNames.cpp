#include "core/calllog/NumberNames.h"

#include "core/calllog/CallNumberLog.h"
#include "core/settings/ProgramFiles.h"
#include "core/tariff/NumberPlan.h"

#include <QHash>

NumberNames::NumberNames(CallNumbers numbers, const AddressBook& book, const NumberPlan& plan)
    : m_numbers(std::move(numbers)) {
    std::vector<AddressBook::Entry> home;
    for (const AddressBook::Entry& entry : book.entries)
        home.push_back({plan.homeForm(entry.number), entry.name});
    QHash<QString, int> labelIndex;
    for (const QString& number : m_numbers.numbers()) {
        const QString dialled = plan.homeForm(number);
        const AddressBook::Entry* named = nullptr;
        for (const AddressBook::Entry& entry : home) {
            if (dialled.startsWith(entry.number) && (!named || entry.number.size() >= named->number.size()))
                named = &entry;
        }
        const QString label = named ? named->name : number;
        auto found = labelIndex.constFind(label);
        if (found == labelIndex.cend()) {
            found = labelIndex.insert(label, int(m_labels.size()));
            m_labels << label;
        }
        m_labelOfNumber.push_back(*found);
    }
}

NumberNames NumberNames::read(const QString& dataDirectory, QString* failedPath, QString* failureReason) {
    const auto tell = [&](const QString& path, const QString& why) {
        if (failedPath && failedPath->isEmpty()) {
            *failedPath = path;
            if (failureReason)
                *failureReason = why;
        }
    };
    QString reason;
    const CallNumberLog log(ProgramFiles::callNumbersPath(dataDirectory));
    std::optional<CallNumbers> numbers = CallNumbers::read(log, &reason);
    if (!numbers) {
        tell(log.path(), reason);
        numbers = CallNumbers();
    }
    const QString bookPath = AddressBook::pathIn(dataDirectory);
    std::optional<AddressBook> book = AddressBook::read(bookPath, &reason);
    if (!book) {
        tell(bookPath, reason);
        book = AddressBook();
    }
    const NumberPlan plan = NumberPlan::read(SettingsFile(ProgramFiles::settingsPath(dataDirectory)));
    return NumberNames(std::move(*numbers), *book, plan);
}

int NumberNames::labelOf(const CallRecord& call) const {
    const int number = m_numbers.indexOf(call.date);
    return number < 0 ? -1 : m_labelOfNumber[size_t(number)];
}

QString NumberNames::textFor(const CallRecord& call) const {
    const int label = labelOf(call);
    return label < 0 ? QString() : m_labels[label];
}
