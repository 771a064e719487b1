#pragma once

#include <QByteArray>
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

} // namespace FuzzSupport

// Called once before the first input, by libFuzzer or by the replay.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
