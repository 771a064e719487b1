// The call log as the meter reads and extends it: the totals of today and the
// week at the start, then a call appended to whatever the log holds.
#include "core/calllog/CallRecord.h"
#include "core/settings/ProgramFiles.h"
#include "core/tariff/Costing.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/MeterRig.h"

#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static MeterRig rig;
    const QByteArrayView input = FuzzSupport::bytesOf(data, size);
    const QString path = rig.path(ProgramFiles::CallLogName);
    FuzzSupport::writeFile(path, input);

    const auto meter = rig.startedMeter();
    const double start = rig.clock.now();
    rig.timeCall(*meter, Regional, Evening, 5 * 60 * 1000);
    meter->FindCallSelection();

    // Nothing the log held is lost: its whole records stay as they were and
    // the call follows them.
    QFile log(path);
    if (!log.open(QIODevice::ReadOnly))
        FuzzSupport::fail(path + QStringLiteral(": ") + log.errorString());
    const QByteArray after = log.readAll();
    const qsizetype whole = input.size() - input.size() % CallRecordCodec::Size;
    if (after.size() != whole + CallRecordCodec::Size ||
        QByteArrayView(after).first(whole) != input.first(whole))
        FuzzSupport::fail(QStringLiteral("the log's records were not kept"));
    if (CallRecordCodec::read(after.constData() + whole).startTime != start)
        FuzzSupport::fail(QStringLiteral("the call was not appended"));
    return 0;
}
