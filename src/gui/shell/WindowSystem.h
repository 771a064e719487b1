#pragma once

#include <QString>

class QWindow;

// What the desktop's window system lets the program do with its windows, as
// Qt's platform tells it. Wayland lets a program neither learn nor set where
// its windows are, nor keep one above the others; an X11 desktop does both.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // The program can learn where its windows are and put them there.
    virtual bool placesWindows() const;
    // A window can be kept above the others.
    virtual bool keepsOnTop() const;
    // The window was asked to minimise and the desktop did so: some desktops
    // never minimise, and say nothing.
    virtual bool isMinimised(const QWindow* window) const;
    // The token a launcher gave to a later start of the program: the next
    // activation of a window asks with it, as Wayland requires.
    virtual void useActivationToken(const QString& token);
};
