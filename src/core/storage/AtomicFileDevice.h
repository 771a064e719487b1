#pragma once

#include "core/storage/AtomicFile.h"

#include <QIODevice>

// An AtomicFile for writers that take a device (the PDF writer). Writes are
// gathered into blocks; the first failure is kept in errorString() and fails
// every later write, and only commit() puts the file in place, so a writer
// that does not check its writes cannot leave a short file for a whole one.
class AtomicFileDevice final : public QIODevice {
public:
    explicit AtomicFileDevice(const QString& path);

    // Write-only, from the start.
    bool open(OpenMode mode) override;
    bool seek(qint64 pos) override;
    // Puts the file in place; false when anything failed, with errorString() saying why.
    bool commit();

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    bool writeBlock();
    bool fail(const QString& reason);

    AtomicFile m_file;
    QByteArray m_block;
    bool m_failed = false;
};
