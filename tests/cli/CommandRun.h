#pragma once

#include "cli/LogCommands.h"

#include <QBuffer>

// A command line run in the test's own process on the data directory `dir`:
// what it writes goes to out and err (or to `output`); returns its exit status.
inline int runCommand(QStringList words, const QString& dir, double now, QByteArray& out, QByteArray& err,
                      QIODevice* output = nullptr, const LogCommands::Environment& environment = {}) {
    QBuffer outBuffer(&out), errBuffer(&err);
    out.clear();
    err.clear();
    outBuffer.open(QIODevice::WriteOnly);
    errBuffer.open(QIODevice::WriteOnly);
    words.prepend(QStringLiteral("dialtally"));
    words << QStringLiteral("--dir") << dir;
    return LogCommands::run(words, environment, now, output ? *output : outBuffer, errBuffer);
}
