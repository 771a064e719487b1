#pragma once

#include <QString>

#include <functional>

class QMenu;

// The program's icon in the desktop's notification area. Images are named:
// "mini" while scanning, "mini1".."mini8" for the turning clock while timing.
//
// The rules live here, the platform's side in the protected operations:
// nothing is changed before the icon has been added, an image or tip is passed
// on only when it differs from the one shown, and a tip is cut to the 63
// characters the notification area has always held.
class TrayIcon {
public:
    static constexpr int TipLength = 63;
    // What the user did to the icon: a single click, a double (or middle)
    // click. The menu is the desktop's to show.
    enum class Action { Click, Open };
    using ActionHandler = std::function<void(Action)>;
    using AvailabilityHandler = std::function<void(bool available)>;

    virtual ~TrayIcon() = default;

    // False when the desktop has no notification area to put the icon in.
    virtual bool isAvailable() const = 0;
    // The menu shown for the icon, by the notification area itself where it
    // draws menus.
    virtual void setMenu(QMenu* menu) = 0;

    void TrayIconAdd(quint32 id, const QString& image, const QString& tip);
    void TrayIconSetImage(const QString& image);
    void TrayIconSetTip(const QString& tip);
    void TrayIconSetImageAndTip(const QString& image, const QString& tip);
    // A line shown under whatever the tip says (the budget), not counted in
    // its 63 characters; empty for none.
    void TrayIconSetTipLine(const QString& line);
    void TrayIconRemove();
    // A message in a balloon by the icon, for msecs. False when the icon is
    // not shown or the desktop shows no balloons.
    bool TrayIconShowMessage(const QString& title, const QString& text, int msecs);

    bool TrayIconActive() const { return m_active; }
    quint32 TrayIconId() const { return m_id; }
    QString TrayIconImage() const { return m_image; }
    QString TrayIconTip() const { return m_tip; }

    void setActionHandler(ActionHandler handler) { m_handler = std::move(handler); }
    // Told when the notification area goes away (its host ended) or comes back.
    void setAvailabilityHandler(AvailabilityHandler handler) { m_availability = std::move(handler); }

    static QString cutTip(const QString& tip);
    // The tip with its line under it, as the notification area shows it.
    QString shownTip() const;

protected:
    virtual void add(const QString& image, const QString& tip) = 0;
    virtual void changeImage(const QString& image) = 0;
    virtual void changeTip(const QString& tip) = 0;
    virtual void remove() = 0;
    virtual bool showMessage(const QString& title, const QString& text, int msecs) {
        Q_UNUSED(title);
        Q_UNUSED(text);
        Q_UNUSED(msecs);
        return false;
    }
    // The platform reports the user's action.
    void reportAction(Action action);
    void reportAvailability(bool available);

private:
    bool m_active = false;
    quint32 m_id = 0;
    QString m_image;
    QString m_tip;
    QString m_tipLine;
    ActionHandler m_handler;
    AvailabilityHandler m_availability;
};
