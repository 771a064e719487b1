#pragma once

#include <QObject>
#include <QPointer>

class FileChooser;
class Prompter;
struct Services;

// While it lives, the program's message boxes and file dialogs are centred
// over `window`, a window that hides the one which opened it; afterwards
// over the ones they had before.
class BoxesOver {
public:
    BoxesOver(const Services& services, QObject* window);
    ~BoxesOver();
    BoxesOver(const BoxesOver&) = delete;
    BoxesOver& operator=(const BoxesOver&) = delete;

private:
    Prompter* m_prompter;
    FileChooser* m_files;
    QPointer<QObject> m_prompterBefore;
    QPointer<QObject> m_filesBefore;
};
