#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// A telephone number as the program keeps it. Numbers come from outside (the
// modem's service, the numbers file, the address book, a form) and are taken
// only in this form: digits, "*" and "#", with "+" only at the front, at most
// MaxLength characters.
namespace DialledNumber {

constexpr int MaxLength = 31;

// The number with its blanks and the usual separators ( ) - . / taken out, and
// without what follows a pause or a wait (",", ";", "p", "w"): the tones sent
// once the call is up are not part of the number. Nothing when what is left
// is not a number.
std::optional<QString> clean(QStringView text);

// Whether the text is a number in the kept form already.
bool isKept(QStringView text);

} // namespace DialledNumber
