#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <sys/types.h>

class QLocalServer;
class QLockFile;

// One running copy per user. The copy that starts first holds a lock file,
// named for the main window's class and caption, in a folder only this user
// can use: $XDG_RUNTIME_DIR, else a folder of the user's own in the temporary
// directory, named with the user id. A later copy finds the lock held. Made
// before anything else, so a refused copy has shown and touched nothing. A lock
// left by a copy of this user that crashed is taken over.
//
// The running copy listens on a local socket beside the lock from the moment
// it holds the lock; a later copy knocks there and is answered, so starting
// the program again brings the running one to view. The knock carries the
// activation token the later copy's launcher gave it (one line), without
// which a Wayland desktop lets no program come to the front.
class SingleInstance {
public:
    // How long a later copy keeps knocking while the running one is starting.
    static constexpr int KnockForMs = 5000;

    SingleInstance();
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // This copy holds the lock and is the one to run.
    bool isFirst() const { return m_first; }
    // Why this copy may not run, when the reason is not a running copy of the
    // user's own (a folder that is not safe, a lock that cannot be made);
    // empty otherwise.
    QString refusal() const { return m_refusal; }

    // The running copy: answers every knock from now on, and show() runs for
    // each with the token it carried (empty for none, or one that is not a
    // token). Needs the application object; knocks that came before wait in
    // the socket until then.
    void whenStartedAgain(std::function<void(const QString& token)> show);
    // A later copy: tells the running one that it was started again, with
    // the token, retrying while it is not yet listening. False when it never
    // answered.
    bool knock(const QString& token, int forMs = KnockForMs) const;

    // The longest token passed on; a longer line is no token.
    static constexpr int TokenLength = 1024;
    // The token in a knock's line: printable ASCII only, else none.
    static QString tokenIn(const QByteArray& line);

    QString lockPath() const;
    QString socketPath() const;

    // The folder for the lock: runtimeDirectory when it is this user's own
    // private folder, else the folder "dialtally-pro-<user id>" in
    // tempDirectory, made private if it is missing. Empty, with the reason,
    // when that folder is not a private folder of the user's own: a folder
    // someone else made, or a link, would let them block or fool the program.
    static QString placeFor(const QString& runtimeDirectory, const QString& tempDirectory, uid_t user,
                            QString* reason);

private:
    void listenBesideTheLock();

    QString m_directory;
    QString m_refusal;
    bool m_first = false;
    std::unique_ptr<QLockFile> m_lock;
    int m_listening = -1; // the socket listened on until the server takes it
    std::unique_ptr<QLocalServer> m_server;
};
