#pragma once

#include <QString>

// A notice for the user that does not need the program's window: the budget's
// thresholds, the spend warning while the window is not on show.
struct Notice {
    QString title;
    QString text;
    QString iconName; // a name of the desktop's icon theme, "dialog-warning"
};

// Desktop notifications. The real one uses the desktop's notification
// service, else the tray icon's balloon, else shows nothing.
class Notifier {
public:
    virtual ~Notifier() = default;
    virtual void notify(const QString& title, const QString& text, const QString& iconName) = 0;
    void notify(const Notice& notice) { notify(notice.title, notice.text, notice.iconName); }
};
