#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The one text rule for every file the program stores or exports. Text is
// written in Windows-1252 when every character fits, so files from the
// Windows original read and write byte for byte; otherwise in UTF-8, so
// nothing is dropped. Bytes that are valid UTF-8 with at least one non-ASCII
// byte read as UTF-8, anything else as Windows-1252.
namespace TextCodec {

QString decode(QByteArrayView bytes);

// The bytes of the text, or nothing when no encoding reads back as the same
// text (a broken surrogate, or no converter for Windows-1252 and UTF-8 alike).
std::optional<QByteArray> encode(QStringView text);

// As encode, cut to at most maxBytes on a character boundary: a field of a
// fixed-size record.
std::optional<QByteArray> encodeCut(QStringView text, qsizetype maxBytes);

// The text as a fixed field gives it back: encodeCut then decode. Empty when
// the text cannot be stored.
QString storedForm(QStringView text, qsizetype maxBytes);

// Whether the bytes are UTF-8 to the rule above (the caller may want to mark
// such a file, as exports do with a byte-order mark).
bool readsAsUtf8(QByteArrayView bytes);

} // namespace TextCodec
