#pragma once

#include <QByteArrayView>
#include <QIODevice>
#include <QString>

// Where a command writes and how it ends: its output, its error messages, the
// exit status. Every write is checked.
struct CommandContext {
    enum Status { Done = 0, FileFailed = 1, WrongCommand = 2 };

    QIODevice& out;
    QIODevice& err;
    QString outName = QStringLiteral("standard output");

    // "dialtally: text" on the error output; returns the status.
    int fail(Status status, const QString& text) const;
    // False, with the reason, when the bytes could not all be written: a full
    // disk or a closed output is an error, not a success.
    bool send(QByteArrayView bytes, QString* reason) const;
    // The text as UTF-8, then finish().
    int print(const QString& text) const;
    // What a buffered output still holds must reach its file too.
    int finish() const;
};

// An amount as the reports show it: to the penny.
double roundedMoney(double amount);
