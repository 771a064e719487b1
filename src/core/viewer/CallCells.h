#pragma once

#include "core/calllog/CallRecord.h"
#include "core/calllog/NumberNames.h"

#include <QHash>
#include <QString>

#include <memory>

// The rate names of the rate-name store, read once for a whole table, and the
// names of the numbers dialled when the table shows them.
struct RateNames {
    QHash<quint16, QString> names;
    bool storeOpened = false;
    std::shared_ptr<const NumberNames> numbers; // none: the Number column is empty

    static RateNames load(const QString& storePath);
    // As the store answers for one key: the name, or its two fixed texts.
    QString nameFor(quint16 key) const;
};

// The first character of the main currency symbol: the viewer shows no more.
QString viewerSymbol(const QString& mainSymbol);
// The symbol, then the amount with two decimals and the system's decimal
// separator: £1.50, -£0.25.
QString viewerMoney(double amount, const QString& symbol);

// The text a column shows for a call; empty for a code out of range.
QString callCellText(const CallRecord& call, int column, const QString& symbol, const RateNames& rates);
