#include "cli/CommandContext.h"

#include "core/spending/Money.h"

#include <QFileDevice>

int CommandContext::fail(Status status, const QString& text) const {
    err.write((QStringLiteral("dialtally: ") + text + QLatin1Char('\n')).toLocal8Bit());
    return status;
}

// A write cut short (a pipe whose reader went halfway) tells no reason; the
// next one fails with it.
bool CommandContext::send(QByteArrayView bytes, QString* reason) const {
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 written = out.write(bytes.data() + done, bytes.size() - done);
        if (written <= 0) {
            if (reason)
                *reason = out.errorString();
            return false;
        }
        done += written;
    }
    return true;
}

int CommandContext::print(const QString& text) const {
    QString reason;
    if (!send(text.toUtf8(), &reason))
        return fail(FileFailed, QStringLiteral("%1: %2").arg(outName, reason));
    return finish();
}

int CommandContext::finish() const {
    auto* file = qobject_cast<QFileDevice*>(&out);
    if (file && !file->flush())
        return fail(FileFailed, QStringLiteral("%1: %2").arg(outName, file->errorString()));
    return Done;
}

double roundedMoney(double amount) {
    return Money::fromPennies(Money::pennies(amount));
}
