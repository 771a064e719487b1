#pragma once

#include "core/seams/TrayIcon.h"

#include <QObject>
#include <QSystemTrayIcon>

class QTimer;

// The notification icon on QSystemTrayIcon. A click is told only once no
// second click has followed it within the desktop's double-click time, so a
// double click opens the window without starting or stopping a call first.
// Desktops that report clicks rather than double clicks (the StatusNotifier
// ones) get the same: two clicks in that time are a double click. The menu is
// Qt's to show, or to hand to a tray host that draws its own (over DBusMenu).
class QtTrayIcon final : public QObject, public TrayIcon {
    Q_OBJECT
public:
    static constexpr int AvailabilityCheckMs = 3000;

    explicit QtTrayIcon(QObject* parent = nullptr);

    bool isAvailable() const override;
    void setMenu(QMenu* menu) override;

    // The platform's icon, for tests that play its signals.
    QSystemTrayIcon* systemTrayIcon() const { return m_icon; }

protected:
    void add(const QString& image, const QString& tip) override;
    void changeImage(const QString& image) override;
    void changeTip(const QString& tip) override;
    void remove() override;
    bool showMessage(const QString& title, const QString& text, int msecs) override;

private:
    void activated(QSystemTrayIcon::ActivationReason reason);
    void checkAvailability();

    QSystemTrayIcon* m_icon;
    QTimer* m_pendingClick;
    // Qt tells no change of the notification area: it is looked for now and then.
    QTimer* m_availabilityCheck;
    bool m_available;
};
