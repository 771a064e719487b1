// The rate-name store as its readers take it: every name for the viewer's
// cells and its sort by rate, a name's key, and a new name added after
// whatever the store holds.
#include "core/calllog/RateNameStore.h"
#include "core/viewer/CallCells.h"
#include "core/viewer/CallSort.h"
#include "core/viewer/ViewerColumns.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QString path = FuzzSupport::scratchPath(QStringLiteral("CallRate.log"));
    FuzzSupport::writeFile(path, FuzzSupport::bytesOf(data, size));

    const RateNames rates = RateNames::load(path);
    std::vector<CallRecord> calls;
    for (quint16 key : rates.names.keys() + QList<quint16>{0, 1, 0xFFFF}) {
        CallRecord call;
        call.rateNameKey = key;
        calls.push_back(call);
        rates.nameFor(key);
    }
    std::vector<quint32> order;
    sortCalls(calls, RateColumn, true, rates.names, order);
    sortCalls(calls, RateColumn, false, rates.names, order);

    // A name the store did not hold gets a key that names it for the viewer,
    // while every name the viewer showed before keeps its key.
    const RateNameStore store(path);
    const QString name = QStringLiteral("Fuzz \u00e9 Rate");
    if (store.FindRateNameKey(name) != 0)
        return 0;
    QString reason;
    const quint16 key = store.RateNameKeyFor(name, &reason);
    if (key == 0)
        return 0; // no key left: the meter says so
    const RateNames after = RateNames::load(path);
    if (after.nameFor(key) != name || store.FindRateNameKey(name) != key)
        FuzzSupport::fail(
            QStringLiteral("the new name's key %1 names \"%2\"").arg(key).arg(after.nameFor(key)));
    for (auto it = rates.names.cbegin(); it != rates.names.cend(); ++it) {
        if (after.nameFor(it.key()) != it.value())
            FuzzSupport::fail(QStringLiteral("key %1 changed its name").arg(it.key()));
    }
    return 0;
}
