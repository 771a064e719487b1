#include "core/calllog/DialledNumber.h"

namespace DialledNumber {

std::optional<QString> clean(QStringView text) {
    // Far longer than any number with its blanks: not worth a look.
    if (text.size() > 4 * MaxLength)
        return std::nullopt;
    QString number;
    for (const QChar c : text) {
        if (c == u',' || c == u';' || c == u'p' || c == u'P' || c == u'w' || c == u'W')
            break;
        if (c.isSpace() || c == u'(' || c == u')' || c == u'-' || c == u'.' || c == u'/')
            continue;
        number += c;
    }
    if (!isKept(number))
        return std::nullopt;
    return number;
}

bool isKept(QStringView text) {
    if (text.isEmpty() || text.size() > MaxLength)
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool allowed = (c >= u'0' && c <= u'9') || c == u'*' || c == u'#' || (c == u'+' && i == 0);
        if (!allowed)
            return false;
    }
    return text != QLatin1String("+");
}

} // namespace DialledNumber
