#pragma once

#include <QString>

#include <functional>

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
    // Told once whether the notice was shown, as soon as that is known: at
    // once, or later from the event loop.
    using Shown = std::function<void(bool shown)>;

    virtual ~Notifier() = default;
    virtual void notify(const Notice& notice, Shown shown) = 0;
    void notify(const Notice& notice) { notify(notice, {}); }
    void notify(const QString& title, const QString& text, const QString& iconName) {
        notify(Notice{title, text, iconName}, {});
    }
};
