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

// The choice encode() makes, made piece by piece for a text that is written
// in parts (an export of a million calls). Pieces that stand between ASCII
// characters (line ends, rules, commas) choose together as the whole text
// would, so a text can be surveyed from its distinct pieces before its first
// byte is written.
enum class Encoding { SingleByte, Utf8, None };
struct Survey {
    bool singleByteFits = true;   // every character reads back from its Windows-1252 byte
    bool singleByteIsUtf8 = true; // and those bytes would pass for UTF-8 ...
    bool nonAscii = false;        // ... with at least one byte above 127
    bool utf8Fits = true;         // no broken surrogate
};
void survey(Survey& survey, QStringView piece);
Encoding choice(const Survey& survey);
// The text in the encoding chosen for it (or for a whole it is part of).
std::optional<QByteArray> encodeAs(Encoding encoding, QStringView text);

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
