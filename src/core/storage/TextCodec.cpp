#include "core/storage/TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace TextCodec {

namespace {

const char* const SingleByte = "windows-1252";

bool hasNonAscii(QByteArrayView bytes) {
    for (char c : bytes)
        if (quint8(c) >= 0x80)
            return true;
    return false;
}

std::optional<QString> decodeUtf8(QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

QString decodeSingleByte(QByteArrayView bytes) {
    QStringDecoder decoder(SingleByte);
    if (!decoder.isValid())
        return QString::fromLatin1(bytes); // the same but for 0x80..0x9F
    return decoder(bytes);
}

std::optional<QByteArray> encodeSingleByte(QStringView text) {
    // Windows-1252 is Latin-1 but for 0x80..0x9F: most texts need no converter.
    if (std::all_of(text.begin(), text.end(), [](QChar c) {
            return c.unicode() < 0x80 || (c.unicode() >= 0xA0 && c.unicode() <= 0xFF);
        }))
        return text.toLatin1();
    QStringEncoder encoder(SingleByte);
    if (!encoder.isValid())
        return std::nullopt;
    QByteArray bytes = encoder(text);
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}

// Only bytes that read back as the very text are ever written.
std::optional<QByteArray> checked(std::optional<QByteArray> bytes, QStringView text) {
    if (bytes && decode(*bytes) == text)
        return bytes;
    return std::nullopt;
}

// The longest start of the text whose UTF-8 fits maxBytes, cut between characters.
QStringView utf8Prefix(QStringView text, qsizetype maxBytes) {
    qsizetype bytes = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const char32_t c = text[i].unicode();
        qsizetype units = 1;
        qsizetype width = c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            units = 2;
            width = 4;
        }
        if (bytes + width > maxBytes)
            break;
        bytes += width;
        i += units;
    }
    return text.left(i);
}

} // namespace

QString decode(QByteArrayView bytes) {
    if (hasNonAscii(bytes)) {
        if (std::optional<QString> text = decodeUtf8(bytes))
            return *text;
    }
    return decodeSingleByte(bytes);
}

bool readsAsUtf8(QByteArrayView bytes) {
    return hasNonAscii(bytes) && decodeUtf8(bytes).has_value();
}

std::optional<QByteArray> encode(QStringView text) {
    Survey whole;
    survey(whole, text);
    return encodeAs(choice(whole), text);
}

void survey(Survey& survey, QStringView piece) {
    const std::optional<QByteArray> single = encodeSingleByte(piece);
    if (!single || decodeSingleByte(*single) != piece) {
        survey.singleByteFits = false;
    } else if (hasNonAscii(*single)) {
        survey.nonAscii = true;
        survey.singleByteIsUtf8 = survey.singleByteIsUtf8 && decodeUtf8(*single).has_value();
    }
    if (survey.utf8Fits && !survey.singleByteFits)
        survey.utf8Fits = QString::fromUtf8(piece.toUtf8()) == piece;
}

Encoding choice(const Survey& survey) {
    // Windows-1252 bytes that would pass for UTF-8 would be read back as UTF-8.
    if (survey.singleByteFits && !(survey.nonAscii && survey.singleByteIsUtf8))
        return Encoding::SingleByte;
    return survey.utf8Fits ? Encoding::Utf8 : Encoding::None;
}

std::optional<QByteArray> encodeAs(Encoding encoding, QStringView text) {
    switch (encoding) {
    case Encoding::SingleByte:
        return encodeSingleByte(text);
    case Encoding::Utf8:
        return text.toUtf8();
    case Encoding::None:
        break;
    }
    return std::nullopt;
}

std::optional<QByteArray> encodeCut(QStringView text, qsizetype maxBytes) {
    const QStringView singleCut = text.left(maxBytes);
    if (std::optional<QByteArray> single = checked(encodeSingleByte(singleCut), singleCut))
        return single;
    const QStringView utf8Cut = utf8Prefix(text, maxBytes);
    return checked(utf8Cut.toUtf8(), utf8Cut);
}

QString storedForm(QStringView text, qsizetype maxBytes) {
    const std::optional<QByteArray> bytes = encodeCut(text, maxBytes);
    return bytes ? decode(*bytes) : QString();
}

} // namespace TextCodec
