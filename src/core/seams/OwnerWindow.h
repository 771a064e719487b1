#pragma once

#include <QObject>
#include <QPointer>

// The window a seam's boxes and dialogs belong to and are centred over.
class OwnerWindow {
public:
    QObject* ownerWindow() const { return m_window; }
    // Returns the window it replaces.
    QObject* setOwnerWindow(QObject* window) {
        QObject* before = m_window;
        m_window = window;
        return before;
    }

private:
    QPointer<QObject> m_window;
};
