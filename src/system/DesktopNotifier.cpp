#include "system/DesktopNotifier.h"

#include "core/seams/TrayIcon.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {
const QString Interface = DesktopNotifier::Service;
// A service that has not answered by then is taken as absent.
constexpr int AnswerWithin = 5000;
} // namespace

DesktopNotifier::DesktopNotifier(TrayIcon* tray, const QDBusConnection& bus, QObject* parent)
    : QObject(parent), m_tray(tray), m_bus(bus) {}

void DesktopNotifier::notify(const Notice& notice, Shown shown) {
    if (!m_bus.isConnected()) {
        fallBack(notice, shown);
        return;
    }
    // The body is markup for a service that says it reads markup, and plain
    // text for the others: a "<" or "&" in a rate name or a currency symbol
    // must show as it is either way.
    call(QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("GetCapabilities")),
         [this, notice, shown](const QDBusMessage& reply) {
             if (reply.type() != QDBusMessage::ReplyMessage) {
                 fallBack(notice, shown);
                 return;
             }
             const QStringList capabilities = reply.arguments().value(0).toStringList();
             send(notice, capabilities.contains(QStringLiteral("body-markup")), shown);
         });
}

void DesktopNotifier::send(const Notice& notice, bool markup, const Shown& shown) {
    QDBusMessage message = QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("Notify"));
    QVariantMap hints{{QStringLiteral("desktop-entry"), AppIcon},
                      {QStringLiteral("urgency"), QVariant::fromValue(uchar(1))}};
    if (!notice.iconName.isEmpty())
        hints.insert(QStringLiteral("image-path"), notice.iconName);
    message << AppName << 0u << AppIcon << notice.title
            << (markup ? notice.text.toHtmlEscaped() : notice.text) << QStringList() << hints << ShowFor;
    call(message, [this, notice, shown](const QDBusMessage& reply) {
        if (reply.type() == QDBusMessage::ReplyMessage)
            went(Route::Desktop, shown);
        else
            fallBack(notice, shown);
    });
}

void DesktopNotifier::fallBack(const Notice& notice, const Shown& shown) {
    if (m_tray && m_tray->TrayIconShowMessage(notice.title, notice.text, ShowFor))
        went(Route::Balloon, shown);
    else
        went(Route::Nowhere, shown);
}

void DesktopNotifier::went(Route route, const Shown& shown) {
    emit delivered(route);
    if (shown)
        shown(route != Route::Nowhere);
}

void DesktopNotifier::call(const QDBusMessage& message,
                           const std::function<void(const QDBusMessage&)>& answered) {
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(message, AnswerWithin), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [answered](QDBusPendingCallWatcher* done) {
        done->deleteLater();
        answered(done->reply());
    });
}
