#pragma once

#include <QByteArrayView>
#include <QString>

// Replacing a whole file: the new contents go to a temporary file in the same
// directory, which takes the old file's place with an atomic rename once every
// byte is written. On failure the old file is untouched and reason (when
// given) says why.
namespace AtomicFile {
bool replace(const QString& path, QByteArrayView contents, QString* reason = nullptr);
}
