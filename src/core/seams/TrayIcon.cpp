#include "core/seams/TrayIcon.h"

QString TrayIcon::cutTip(const QString& tip) {
    if (tip.size() <= TipLength)
        return tip;
    // Never half a character: a pair of UTF-16 units stays whole or goes.
    const qsizetype length = tip.at(TipLength - 1).isHighSurrogate() ? TipLength - 1 : TipLength;
    return tip.left(length);
}

void TrayIcon::TrayIconAdd(quint32 id, const QString& image, const QString& tip) {
    m_id = id;
    m_image = image;
    m_tip = cutTip(tip);
    m_active = true;
    add(m_image, shownTip());
}

void TrayIcon::TrayIconSetImage(const QString& image) {
    if (!m_active || image == m_image)
        return;
    m_image = image;
    changeImage(m_image);
}

void TrayIcon::TrayIconSetTip(const QString& tip) {
    const QString cut = cutTip(tip);
    if (!m_active || cut == m_tip)
        return;
    m_tip = cut;
    changeTip(shownTip());
}

void TrayIcon::TrayIconSetTipLine(const QString& line) {
    if (line == m_tipLine)
        return;
    m_tipLine = line;
    if (m_active)
        changeTip(shownTip());
}

QString TrayIcon::shownTip() const {
    return m_tipLine.isEmpty() ? m_tip : m_tip + QLatin1Char('\n') + m_tipLine;
}

void TrayIcon::TrayIconSetImageAndTip(const QString& image, const QString& tip) {
    TrayIconSetImage(image);
    TrayIconSetTip(tip);
}

void TrayIcon::TrayIconRemove() {
    // An icon that is gone takes no more changes until it is added again.
    m_active = false;
    remove();
}

bool TrayIcon::TrayIconShowMessage(const QString& title, const QString& text, int msecs) {
    return m_active && showMessage(title, text, msecs);
}

void TrayIcon::reportAction(Action action) {
    if (m_handler)
        m_handler(action);
}

void TrayIcon::reportAvailability(bool available) {
    if (m_availability)
        m_availability(available);
}
