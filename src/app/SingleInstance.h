#pragma once

#include <QLockFile>
#include <QString>

#include <functional>

class QLocalServer;
class QObject;

// One running copy per user. The copy that starts first holds a lock file,
// named for the main window's class and caption, in $XDG_RUNTIME_DIR (the
// temporary directory when that is not set); a later copy finds it held. Made
// before anything else, so a refused copy has shown and touched nothing. A lock
// left by a copy that crashed is taken over.
//
// The running copy listens on a local socket beside the lock; a refused copy
// knocks there, so starting the program again brings the running one to view.
class SingleInstance {
public:
    SingleInstance();
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when another copy is running. A lock that cannot be made at all
    // (an unwritable directory) does not stop the program.
    bool isFirst() const { return m_first; }

    // The running copy: show() runs whenever another copy is started. Needs
    // the application object.
    void whenStartedAgain(std::function<void()> show);
    // A refused copy: tells the running one that it was started again.
    static void knock();

    static QString lockPath();
    static QString socketPath();

private:
    QLockFile m_lock;
    bool m_first;
    QLocalServer* m_server = nullptr;
};
