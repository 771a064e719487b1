#pragma once

#include <QLockFile>
#include <QString>

// One running copy per user. The copy that starts first holds a lock file,
// named for the main window's class and caption, in $XDG_RUNTIME_DIR (the
// temporary directory when that is not set); a later copy finds it held. Made
// before anything else, so a refused copy has shown and touched nothing. A lock
// left by a copy that crashed is taken over.
class SingleInstance {
public:
    SingleInstance();

    // False when another copy is running. A lock that cannot be made at all
    // (an unwritable directory) does not stop the program.
    bool isFirst() const { return m_first; }

    static QString lockPath();

private:
    QLockFile m_lock;
    bool m_first;
};
