#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>

class CallMeter;
class QAbstractButton;
class QBoxLayout;
class QKeyEvent;
class QWidget;
class SmallBoxMenu;
class TrayIcon;
class WindowSystem;

// The views of the main window: the normal window, the small box (only the
// black meter panel, borderless, dragged anywhere), the notification icon and
// minimised; the moves between them, the places they are remembered at, and
// the always-on-top layer. The meter holds the view (WindowMode) because its
// tick and stop draw on it.
class WindowModes : public QObject {
    Q_OBJECT
public:
    struct Parts {
        QWidget* window = nullptr;           // laid out at the size of what it shows
        QWidget* normalView = nullptr;       // everything but the meter panel
        QWidget* animationPanel = nullptr;   // the small box's whole content
        QBoxLayout* animationHome = nullptr; // its place in the normal view
        QAbstractButton* stayOnTopButton = nullptr;
        QAbstractButton* stayOnTopCheckbox = nullptr;
        SmallBoxMenu* menu = nullptr;
    };
    static inline const QString NoOnTopText =
        QStringLiteral("This desktop does not let a window stay on top of the others.");
    static inline const QString NoTrayText = QStringLiteral(
        "This desktop has no notification area (system tray), so the window stays as it is instead of "
        "changing to a taskbar icon.");

    // Takes the window as it was laid out as the normal view. Without a
    // window system, Qt's platform answers.
    WindowModes(CallMeter& meter, TrayIcon* tray, WindowSystem* windows, const Parts& parts,
                QObject* parent = nullptr);
    ~WindowModes() override;

    // The default view and the stay-on-top choice, at start-up.
    void ChangeWindow();
    void ShrinkToBoxAndGrow();
    void MinimiseButtonClick();
    // False, with a message, when there is no notification area to go to.
    bool TaskBarButtonClick();
    void LoadMainClick();
    void StayOnTopButtonClick();
    void SaveWindowPosition();
    void LoadWindowPosition();

    // The program lost or gained the user's attention: the taskbar text.
    void ApplicationDeActivate();
    void ApplicationActivate();
    // The window's state changed (minimised, restored).
    void windowStateChanged();
    // The program was started again: the window (or the box waiting for an
    // answer) comes to view, from the icon or the task bar if need be, asking
    // the desktop with the token the new start was given, if any.
    void bringToView(const QString& activationToken = QString());
    // The box the program waits on for an answer, if any, comes to view:
    // false when there is none.
    static bool raiseWaitingBox();
    // The program is told to end: every box waiting for an answer closes
    // unanswered, the innermost first, its exec() giving EndedUnanswered.
    static void endWaitingBoxes();
    static constexpr int EndedUnanswered = -2;

    // The budget line, added to the small box's and the notification icon's
    // tips; empty for none.
    void setBudgetLine(const QString& line);

    WindowSystem& windowSystem() const { return m_windows; }

    // "Stay On Top" is ticked.
    bool stayOnTop() const { return m_stayOnTop; }
    // While a box of the program is open the window leaves the always-on-top
    // layer, so the box is never hidden behind it.
    void leaveTopLayer();
    void returnToTopLayer();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int mode() const;
    void renewNativeWindow();
    QPoint framePlace() const;
    void settleSize();
    void placeFrame(QPoint at);
    void setOnTopLayer(bool on);
    void showStayOnTop();
    void showMenuStates();
    void minimised();
    void trayAvailable(bool available);
    void popUpMenu(QPoint globalPosition);
    bool boxKeyPress(const QKeyEvent* key);
    void trayAction(int action);
    QString boxTip() const;

    CallMeter& m_meter;
    TrayIcon* m_tray;
    WindowSystem& m_windows;
    Parts m_parts;
    Qt::WindowFlags m_normalFlags;
    bool m_stayOnTop = false;
    bool m_minimiseAsked = false;
    bool m_iconLostWithTray = false; // shown because the notification area went away
    QString m_budgetLine;
    bool Dragging = false;
    QPoint m_dragFrom; // DragX, DragY: the pressed point, from the box's corner
    QPointer<QWidget> m_focusBeforeBox;
};

// Leaves the always-on-top layer for as long as it lives.
class TopLayerPause {
public:
    explicit TopLayerPause(WindowModes& modes) : m_modes(modes) { m_modes.leaveTopLayer(); }
    ~TopLayerPause() { m_modes.returnToTopLayer(); }
    TopLayerPause(const TopLayerPause&) = delete;
    TopLayerPause& operator=(const TopLayerPause&) = delete;

private:
    WindowModes& m_modes;
};
