#pragma once

#include "core/seams/Notifier.h"

#include <QDBusConnection>
#include <QObject>

#include <functional>

class QDBusMessage;
class TrayIcon;

// Desktop notifications through the desktop's notification service
// (org.freedesktop.Notifications on the session bus), else the tray icon's
// balloon, else nothing. Every bus call is asynchronous, so a stuck service
// cannot freeze the window; the service is started when the desktop starts it
// on demand.
class DesktopNotifier final : public QObject, public Notifier {
    Q_OBJECT
public:
    static inline const QString Service = QStringLiteral("org.freedesktop.Notifications");
    static inline const QString Path = QStringLiteral("/org/freedesktop/Notifications");
    static inline const QString AppName = QStringLiteral("Dialtally Pro");
    static inline const QString AppIcon = QStringLiteral("dialtally-pro");
    // How long a notice stays up, in milliseconds.
    static constexpr int ShowFor = 10000;

    enum class Route { Desktop, Balloon, Nowhere };
    Q_ENUM(Route)

    // tray may be null: no balloon then.
    explicit DesktopNotifier(TrayIcon* tray, const QDBusConnection& bus = QDBusConnection::sessionBus(),
                             QObject* parent = nullptr);

    using Notifier::notify;
    // Shown on the desktop or as a balloon counts as shown.
    void notify(const Notice& notice, Shown shown) override;

signals:
    // Where a notice went, once that is known.
    void delivered(DesktopNotifier::Route route);

private:
    void send(const Notice& notice, bool markup, const Shown& shown);
    void fallBack(const Notice& notice, const Shown& shown);
    void went(Route route, const Shown& shown);
    void call(const QDBusMessage& message, const std::function<void(const QDBusMessage&)>& answered);

    TrayIcon* m_tray;
    QDBusConnection m_bus;
};
