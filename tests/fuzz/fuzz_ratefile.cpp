// A rate file as the meter reads it: the rate of every band and distance and
// the charges, loaded at each start; a tick's figures; the call logged at the
// stop with its costs.
#include "core/calllog/CallLog.h"
#include "core/settings/ProgramFiles.h"
#include "core/tariff/Costing.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/MeterRig.h"

#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static MeterRig rig;
    FuzzSupport::writeFile(rig.path(QStringLiteral("Fuzz.dtr")), FuzzSupport::bytesOf(data, size));
    const CallLog log(rig.path(ProgramFiles::CallLogName));
    QFile::remove(log.path());

    const auto meter = rig.startedMeter();
    for (int distance = Local; distance <= International; ++distance) {
        for (int band = Daytime; band <= Weekend; ++band)
            rig.timeCall(*meter, distance, band, 90 * 60 * 1000);
    }
    // Whatever the rates say, every call is kept.
    if (log.file().recordCount() != 12)
        FuzzSupport::fail(QStringLiteral("%1 of 12 calls logged").arg(log.file().recordCount()));
    return 0;
}
