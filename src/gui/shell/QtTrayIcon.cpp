#include "gui/shell/QtTrayIcon.h"

#include "gui/shell/ShellPictures.h"
#include "gui/widgets/AppIcon.h"

#include <QApplication>
#include <QMenu>
#include <QStyleHints>
#include <QTimer>

QtTrayIcon::QtTrayIcon(QObject* parent)
    : QObject(parent), m_icon(new QSystemTrayIcon(this)), m_pendingClick(new QTimer(this)) {
    m_pendingClick->setObjectName(QStringLiteral("PendingClick"));
    m_pendingClick->setSingleShot(true);
    m_pendingClick->setInterval(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    connect(m_pendingClick, &QTimer::timeout, this, [this] { reportAction(Action::Click); });
    connect(m_icon, &QSystemTrayIcon::activated, this, &QtTrayIcon::activated);
    m_availabilityCheck = new QTimer(this);
    m_availabilityCheck->setObjectName(QStringLiteral("TrayAvailabilityCheck"));
    m_availabilityCheck->setInterval(AvailabilityCheckMs);
    connect(m_availabilityCheck, &QTimer::timeout, this, &QtTrayIcon::checkAvailability);
    m_available = isAvailable();
    m_availabilityCheck->start();
}

bool QtTrayIcon::isAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTrayIcon::setMenu(QMenu* menu) {
    m_icon->setContextMenu(menu);
}

void QtTrayIcon::checkAvailability() {
    const bool available = isAvailable();
    if (available == m_available)
        return;
    m_available = available;
    reportAvailability(available);
}

void QtTrayIcon::add(const QString& image, const QString& tip) {
    m_icon->setIcon(ShellPictures::trayImage(image));
    m_icon->setToolTip(tip);
    m_icon->show();
}

void QtTrayIcon::changeImage(const QString& image) {
    m_icon->setIcon(ShellPictures::trayImage(image));
}

void QtTrayIcon::changeTip(const QString& tip) {
    m_icon->setToolTip(tip);
}

void QtTrayIcon::remove() {
    m_pendingClick->stop();
    m_icon->hide();
}

bool QtTrayIcon::showMessage(const QString& title, const QString& text, int msecs) {
    if (!QSystemTrayIcon::supportsMessages() || !m_icon->isVisible())
        return false;
    m_icon->showMessage(title, text, AppIcon::icon(), msecs);
    return true;
}

void QtTrayIcon::activated(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        if (m_pendingClick->isActive()) {
            m_pendingClick->stop();
            reportAction(Action::Open);
        } else {
            m_pendingClick->start();
        }
        break;
    case QSystemTrayIcon::DoubleClick:
    case QSystemTrayIcon::MiddleClick:
        m_pendingClick->stop();
        reportAction(Action::Open);
        break;
    case QSystemTrayIcon::Context: // Qt shows the menu
        m_pendingClick->stop();
        break;
    default:
        break;
    }
}
