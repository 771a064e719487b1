#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>

// What every fuzz target shares: a fixed locale and time zone, so that an input
// does the same on every machine, and a scratch directory for the files the
// readers open by name.
namespace FuzzSupport {

// Made on first use, removed when the run ends.
QString scratchPath(const QString& name);
// Replaces the file with these bytes. A run that cannot write its scratch
// files tests nothing, so it stops there.
void writeFile(const QString& path, QByteArrayView bytes);
QByteArrayView bytesOf(const uint8_t* data, size_t size);
// Stops the run with the message: a property of the program did not hold.
[[noreturn]] void fail(const QString& what);

// An input that fills several files: its parts, between lines that read
// Separator. An input without one is its first part alone, so a corpus of
// single files stays valid when its target learns to read more.
inline constexpr QByteArrayView Separator = "\n--8<--\n";
QList<QByteArrayView> parts(QByteArrayView input);

// The decisions a target makes for an input (which command, which rows), a
// byte or two at a time; once the bytes run out every choice is 0.
class Choices {
public:
    explicit Choices(QByteArrayView bytes) : m_bytes(bytes) {}
    bool left() const { return m_next < m_bytes.size(); }
    // 0..count-1.
    int pick(int count);
    bool flag() { return pick(2) == 1; }
    // lowest..highest, from two bytes.
    int number(int lowest, int highest);

private:
    int byte() { return left() ? quint8(m_bytes[m_next++]) : 0; }

    QByteArrayView m_bytes;
    qsizetype m_next = 0;
};

} // namespace FuzzSupport

// Called once before the first input, by libFuzzer or by the replay.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
