#pragma once

#include "core/calllog/CallNumberLog.h"
#include "core/calllog/KeptCall.h"
#include "core/calllog/RecoveryFile.h"

#include <QString>

#include <optional>
#include <vector>

// The calls of one data directory that are not in its log yet, in the order
// they ended. Whenever a write of the log fails they are put in the recovery
// file too, so neither the end of the program nor a crash loses them; once
// they are in the log, the recovery file goes.
//
// A call from the recovery file may be in the log already (the program ended
// between writing the log and removing the file): before such calls are
// written, the log is searched for them, and those found are dropped.
class KeptCalls {
public:
    KeptCalls(QString dataDirectory, const QString& stateDirectory);
    qsizetype size() const { return qsizetype(m_calls.size()); }
    const RecoveryFile& recoveryFile() const { return m_file; }

    // Takes in the calls waiting in the recovery file, ahead of those kept
    // since; once only. False, and the reason, when the file is there but
    // cannot be read: it is then set aside under another name when it can be,
    // else left alone and never written over.
    bool takeWaiting(QString* reason = nullptr);

    void add(const KeptCall& call) { m_calls.push_back(call); }

    struct Failure {
        QString file;       // the file that could not be written: the log or the rate-name store
        QString reason;     // the system's reason
        qsizetype lost = 0; // of the calls kept, how many the recovery file does not hold
        QString keepReason; // when lost > 0: the recovery file and why it could not be written
    };
    // Writes the kept calls to the log in one append, each with the key of its
    // rate name, and then the numbers dialled to the numbers file. On failure
    // they stay kept, in the recovery file when it can be written. written,
    // when given, is the number of calls added. When the calls went in but
    // their numbers could not, numbersLost says which file and why.
    std::optional<Failure> write(qsizetype* written = nullptr, QString* numbersLost = nullptr);

    // The program's start, before anything reads the log: a torn tail cut back,
    // and the calls waiting in the recovery file added to the log, once and in
    // order. What to tell the user, if anything.
    struct Report {
        QString text;
        bool failed = false;
    };
    static Report recoverAtStart(const QString& dataDirectory, const QString& stateDirectory);

private:
    bool dropLogged(QString* reason);
    // The numbers of the calls just logged, and of those found logged already
    // whose numbers are not in the numbers file yet.
    bool writeNumbers(const std::vector<KeptCall>& logged, QString* reason);

    QString m_dataDirectory;
    RecoveryFile m_file;
    std::vector<KeptCall> m_calls;
    qsizetype m_maybeLogged = 0;             // leading calls that may be in the log already
    std::vector<CallNumber> m_maybeNumbered; // of those found in the log, the numbers they had
    qsizetype m_inFile = 0;                  // leading calls the recovery file holds
    bool m_ownsFile = false;                 // the file holds nothing but calls kept here or logged
    bool m_tookWaiting = false;
    QString m_blockedReason; // an unreadable file in the way, never written over: what is wrong with it
    QString m_why;           // why the calls taken from the recovery file were kept
};
