// libFuzzer's mutations change bytes; a call log's faults hide in values: a
// date that is NaN or just beyond the calendar, an amount past the largest
// cost, a code out of its range. A random byte rarely makes such a double.
// For the targets that read a log (their input's first part, see
// FuzzSupport::parts), a quarter of the mutations put one such value in a
// field of one call; the rest are libFuzzer's own.
#include "core/calllog/CallRecord.h"
#include "fuzz/FuzzSupport.h"

#include <iterator>
#include <limits>
#include <random>

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr float FloatInf = std::numeric_limits<float>::infinity();

// Dates, times and lengths: the calendar's last days and its first
// non-days, the edges of a day, of the integers and of the doubles.
constexpr double Days[] = {std::numeric_limits<double>::quiet_NaN(),
                           Inf,
                           -Inf,
                           0.0,
                           -0.0,
                           -1.25,
                           46365.999999999,
                           2.9e6,
                           2999999.9999,
                           3.0e6,
                           -3.0e6,
                           5.0e6,
                           1e9,
                           -1e9,
                           1e10,
                           9.3e18,
                           1e300,
                           std::numeric_limits<double>::max(),
                           std::numeric_limits<double>::denorm_min()};
constexpr float Amounts[] = {std::numeric_limits<float>::quiet_NaN(),
                             FloatInf,
                             -FloatInf,
                             -0.0f,
                             0.005f,
                             0.705f,
                             -0.34f,
                             1e9f,
                             1.1e9f,
                             -1e9f,
                             std::numeric_limits<float>::max(),
                             std::numeric_limits<float>::denorm_min()};
constexpr quint16 Codes[] = {0, 7, 8, 12, 13, 250, 251, 0x7FFF, 0xFFFF};

template <typename T, size_t N> T oneOf(const T (&values)[N], std::minstd_rand& random) {
    return values[random() % N];
}

} // namespace

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned int seed) {
    std::minstd_rand random(seed);
    const qsizetype records =
        FuzzSupport::parts(FuzzSupport::bytesOf(data, size)).constFirst().size() / CallRecordCodec::Size;
    if (random() % 4 != 0 || records == 0)
        return LLVMFuzzerMutate(data, size, maxSize);
    char* at = reinterpret_cast<char*>(data) + (random() % records) * CallRecordCodec::Size;
    CallRecord call = CallRecordCodec::read(at);
    double* const days[] = {&call.date, &call.startTime, &call.endTime, &call.duration};
    quint16* const codes[] = {&call.dayOfWeek, &call.rateCode, &call.rateNameKey};
    float* const amounts[] = {&call.grossCost, &call.netCost};
    const auto field = random() % (std::size(days) + std::size(codes) + std::size(amounts));
    if (field < std::size(days))
        *days[field] = oneOf(Days, random);
    else if (field < std::size(days) + std::size(codes))
        *codes[field - std::size(days)] = oneOf(Codes, random);
    else
        *amounts[field - std::size(days) - std::size(codes)] = oneOf(Amounts, random);
    CallRecordCodec::write(call, at);
    return size;
}
