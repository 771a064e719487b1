#include "gui/shell/WindowModes.h"

#include "core/meter/CallMeter.h"
#include "core/seams/TrayIcon.h"
#include "core/settings/ShellSettings.h"
#include "gui/meter/TLargeForm.h"
#include "gui/shell/IconicHint.h"
#include "gui/shell/ScreenPlace.h"
#include "gui/shell/ShellPictures.h"
#include "gui/shell/SmallBoxMenu.h"
#include "gui/shell/WindowSystem.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBoxLayout>
#include <QDialog>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace {
const QString ScanningForCallsTitle = QStringLiteral("Scanning for Calls..");
constexpr quint32 TrayIconId = 1;

WindowSystem& platformWindows() {
    static WindowSystem platform;
    return platform;
}
} // namespace

WindowModes::WindowModes(CallMeter& meter, TrayIcon* tray, WindowSystem* windows, const Parts& parts,
                         QObject* parent)
    : QObject(parent), m_meter(meter), m_tray(tray), m_windows(windows ? *windows : platformWindows()),
      m_parts(parts), m_normalFlags(parts.window->windowFlags() & ~Qt::WindowStaysOnTopHint) {
    m_parts.animationPanel->installEventFilter(this);
    connect(m_parts.animationPanel, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { popUpMenu(m_parts.animationPanel->mapToGlobal(at)); });
    connect(m_parts.menu, &QMenu::aboutToShow, this, &WindowModes::showMenuStates);
    if (m_tray) {
        m_tray->setActionHandler([this](TrayIcon::Action action) { trayAction(int(action)); });
        m_tray->setAvailabilityHandler([this](bool available) { trayAvailable(available); });
        m_tray->setMenu(m_parts.menu);
    }
}

WindowModes::~WindowModes() {
    if (m_tray) {
        m_tray->setActionHandler(nullptr);
        m_tray->setAvailabilityHandler(nullptr);
        m_tray->setMenu(nullptr);
    }
}

int WindowModes::mode() const {
    return m_meter.windowMode();
}

// ---- Remembered places -----------------------------------------------------

// Places are the frame's, as the desktop shows them. The small box has no
// frame; Qt keeps the normal window's for it all the same, so its place is
// that of its inside.
QPoint WindowModes::framePlace() const {
    const QWidget* window = m_parts.window;
    return mode() == CallMeter::SmallBox ? window->geometry().topLeft() : window->pos();
}

// A hidden window keeps the sizes of its parts until it is shown, and then
// takes its new size after the desktop was told where its frame goes: Qt tells
// the new size with the frame's place as the inside's, and the window moves by
// its title bar. So every layout is worked out first, the innermost first.
void WindowModes::settleSize() {
    QWidget* window = m_parts.window;
    window->ensurePolished();
    QList<QWidget*> parts = window->findChildren<QWidget*>();
    parts.prepend(window);
    for (auto part = parts.crbegin(); part != parts.crend(); ++part) {
        if (QLayout* layout = (*part)->layout()) {
            layout->invalidate();
            layout->activate();
        }
    }
}

// Where the desktop alone places windows they still take their sizes.
void WindowModes::placeFrame(QPoint at) {
    QWidget* window = m_parts.window;
    settleSize();
    if (!m_windows.placesWindows())
        return;
    if (mode() == CallMeter::SmallBox)
        window->setGeometry(QRect(ScreenPlace::onScreen(QRect(at, window->size())), window->size()));
    else
        ScreenPlace::moveOnScreen(window, at);
}

// A place the program cannot learn is not written: the one stored stays.
void WindowModes::SaveWindowPosition() {
    if (!m_windows.placesWindows())
        return;
    const SettingsFile& file = m_meter.settingsFile();
    if (!ShellSettings::SaveWindowPosition(file, mode(), framePlace()))
        m_meter.queueError(file.failureText());
}

void WindowModes::LoadWindowPosition() {
    if (const auto at = ShellSettings::LoadWindowPosition(m_meter.settingsFile(), mode()))
        placeFrame(*at);
}

// ---- Views -----------------------------------------------------------------

// A window made but never shown (the first-use wizard's owner), or shown in
// another view before, is placed by its frame only on a new native window:
// the old one keeps what the desktop last told of it, no frame yet or the
// other view's.
void WindowModes::renewNativeWindow() {
    if (QWindow* native = m_parts.window->windowHandle(); native && !m_parts.window->isVisible())
        native->destroy();
}

void WindowModes::ChangeWindow() {
    renewNativeWindow();
    switch (m_meter.settings().windowToLoad) {
    case CallMeter::SmallBox:
        LoadWindowPosition();
        ShrinkToBoxAndGrow();
        break;
    case CallMeter::TaskbarIcon:
        LoadWindowPosition();
        if (!TaskBarButtonClick())
            m_parts.window->show();
        break;
    case CallMeter::Minimised:
        // Minimised straight away, so restoring puts the window at its place.
        placeFrame(*ShellSettings::LoadWindowPosition(m_meter.settingsFile(), CallMeter::NormalWindow));
        MinimiseButtonClick();
        break;
    default:
        LoadWindowPosition();
        m_parts.window->show();
        break;
    }
    m_stayOnTop = m_parts.stayOnTopCheckbox->isChecked() && m_windows.keepsOnTop();
    setOnTopLayer(m_stayOnTop);
    showStayOnTop();
}

void WindowModes::ShrinkToBoxAndGrow() {
    const int from = mode();
    if (from != CallMeter::NormalWindow && from != CallMeter::SmallBox)
        return;
    const bool toBox = from == CallMeter::NormalWindow;
    m_iconLostWithTray = false; // the user's own choice now
    QWidget* window = m_parts.window;
    QWidget* panel = m_parts.animationPanel;
    SaveWindowPosition();
    window->hide();
    renewNativeWindow();
    panel->setToolTip(toBox ? boxTip() : QString());
    panel->setContextMenuPolicy(toBox ? Qt::CustomContextMenu : Qt::DefaultContextMenu);
    // The panel moves between its place in the normal view and the window's
    // own layout, where it is all there is: the window takes its size.
    if (toBox) {
        m_parts.animationHome->removeWidget(panel);
        m_parts.normalView->hide();
        window->layout()->addWidget(panel);
    } else {
        window->layout()->removeWidget(panel);
        m_parts.animationHome->insertWidget(0, panel);
        m_parts.normalView->show();
    }
    panel->show(); // a new parent hides it
    // The box takes the keys (its menu, start and stop); back in the normal
    // view the focus is where it was before.
    panel->setFocusPolicy(toBox ? Qt::StrongFocus : Qt::NoFocus);
    if (toBox) {
        m_focusBeforeBox = window->focusWidget();
        panel->setFocus();
    } else if (m_focusBeforeBox) {
        m_focusBeforeBox->setFocus();
    }
    Qt::WindowFlags flags = toBox ? Qt::Window | Qt::FramelessWindowHint : m_normalFlags;
    flags.setFlag(Qt::WindowStaysOnTopHint, m_stayOnTop);
    window->setWindowFlags(flags);
    window->layout()->activate(); // sized now, to be placed by its size
    m_meter.setWindowMode(toBox ? CallMeter::SmallBox : CallMeter::NormalWindow);
    LoadWindowPosition();
    window->show();
}

// The program is minimised once the desktop has minimised its window: a
// desktop that does not minimise leaves the program as it was.
void WindowModes::MinimiseButtonClick() {
    m_iconLostWithTray = false; // the user's own choice now
    m_minimiseAsked = true;
    m_parts.window->showMinimized();
    // The desktop tells of it when it takes the window off the screen.
    if (QWindow* native = m_parts.window->windowHandle())
        native->installEventFilter(this);
    minimised();
}

void WindowModes::minimised() {
    if (!m_minimiseAsked || !m_windows.isMinimised(m_parts.window->windowHandle()))
        return;
    m_minimiseAsked = false;
    m_meter.setWindowMode(CallMeter::Minimised);
    if (!m_meter.isTiming())
        m_meter.SetApplicationTitle(ScanningForCallsTitle);
}

bool WindowModes::TaskBarButtonClick() {
    // Without a notification area the hidden window could never be brought back.
    if (!m_tray || !m_tray->isAvailable()) {
        m_meter.queueWarning(NoTrayText);
        return false;
    }
    m_meter.setTrayIconFrame(1);
    m_iconLostWithTray = false;
    SaveWindowPosition();
    m_meter.setWindowMode(CallMeter::TaskbarIcon);
    m_parts.window->hide();
    showMenuStates();
    const QString problem = m_meter.sensingProblem();
    m_tray->TrayIconAdd(TrayIconId, QStringLiteral("mini"),
                        problem.isEmpty() ? QStringLiteral("Scanning for calls...") : problem);
    return true;
}

void WindowModes::LoadMainClick() {
    if (mode() != CallMeter::TaskbarIcon) {
        ShrinkToBoxAndGrow();
        return;
    }
    m_tray->TrayIconRemove();
    m_parts.window->show();
    m_meter.setWindowMode(CallMeter::NormalWindow);
    showMenuStates();
    m_parts.window->raise();
    m_parts.window->activateWindow();
}

void WindowModes::windowStateChanged() {
    minimised();
    // Restored by the desktop: the normal window again, with the program's
    // name for a title and every view button working.
    if (mode() == CallMeter::Minimised && m_parts.window->isVisible() &&
        !(m_parts.window->windowState() & Qt::WindowMinimized)) {
        IconicHint::clear(m_parts.window);
        m_meter.setWindowMode(CallMeter::NormalWindow);
        m_meter.SetApplicationTitle(TLargeForm::ApplicationTitle);
    }
}

bool WindowModes::raiseWaitingBox() {
    QWidget* box = QApplication::activeModalWidget();
    if (!box)
        return false;
    box->raise();
    box->activateWindow();
    return true;
}

void WindowModes::endWaitingBoxes() {
    QDialog* ended = nullptr;
    while (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        if (box == ended) // it would not close
            return;
        box->done(EndedUnanswered);
        ended = box;
    }
}

void WindowModes::bringToView(const QString& activationToken) {
    if (!activationToken.isEmpty())
        m_windows.useActivationToken(activationToken);
    if (raiseWaitingBox())
        return;
    QWidget* window = m_parts.window;
    if (mode() == CallMeter::TaskbarIcon)
        LoadMainClick();
    // Minimised by the program or by the title bar's button alike.
    else if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

// ---- The taskbar text ------------------------------------------------------

// A window asked to minimise loses the focus whether or not the desktop
// minimised it: that is not the program going to the background.
void WindowModes::ApplicationDeActivate() {
    if (m_minimiseAsked || (mode() != CallMeter::NormalWindow && mode() != CallMeter::SmallBox))
        return;
    m_meter.SetApplicationTitle(ScanningForCallsTitle);
    m_meter.setMeterInTitle(true);
}

void WindowModes::ApplicationActivate() {
    m_minimiseAsked = false;
    if (!m_meter.meterInTitle())
        return;
    m_meter.SetApplicationTitle(TLargeForm::ApplicationTitle);
    m_meter.setMeterInTitle(false);
}

// ---- Always on top ---------------------------------------------------------

void WindowModes::StayOnTopButtonClick() {
    if (!m_windows.keepsOnTop())
        return;
    m_stayOnTop = !m_stayOnTop;
    setOnTopLayer(m_stayOnTop);
    showStayOnTop();
}

void WindowModes::showStayOnTop() {
    // The picture and the hint tell what the next click does, or why there is none.
    const bool possible = m_windows.keepsOnTop();
    m_parts.menu->StayOnTopMenuItem->setChecked(m_stayOnTop);
    m_parts.menu->StayOnTopMenuItem->setToolTip(possible ? QString() : NoOnTopText);
    m_parts.stayOnTopButton->setEnabled(possible);
    m_parts.stayOnTopCheckbox->setEnabled(possible);
    m_parts.stayOnTopCheckbox->setToolTip(possible ? QString() : NoOnTopText);
    m_parts.stayOnTopButton->setToolTip(!possible     ? NoOnTopText
                                        : m_stayOnTop ? QStringLiteral("Don't Make Window stay On Top")
                                                      : QStringLiteral("Make Window stay On Top"));
    m_parts.stayOnTopButton->setIcon(m_stayOnTop ? ShellPictures::NotStayOnTopImage()
                                                 : ShellPictures::StayOnTopImage());
    showMenuStates();
}

// While a box waits for an answer nothing else opens or closes, from the box's
// menu or the notification icon's alike.
void WindowModes::showMenuStates() {
    const bool waiting = QApplication::activeModalWidget() != nullptr;
    SmallBoxMenu* menu = m_parts.menu;
    for (QAction* entry : {menu->LoadMain, menu->SetupMenuItem, menu->PastCallsMenuItem,
                           menu->SpendingMenuItem, menu->CloseProgram})
        entry->setEnabled(!waiting);
    menu->StayOnTopMenuItem->setEnabled(!waiting && mode() != CallMeter::TaskbarIcon &&
                                        m_windows.keepsOnTop());
}

void WindowModes::leaveTopLayer() {
    setOnTopLayer(false);
}

void WindowModes::returnToTopLayer() {
    if (m_stayOnTop)
        setOnTopLayer(true);
}

void WindowModes::setOnTopLayer(bool on) {
    QWidget* window = m_parts.window;
    Qt::WindowFlags flags = window->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, on);
    if (flags == window->windowFlags())
        return;
    if (window->isVisible() && window->windowHandle()) {
        // Told to the window system directly: changing a shown window's flags
        // through the widget would hide it and make it anew.
        window->overrideWindowFlags(flags);
        window->windowHandle()->setFlags(flags);
    } else {
        window->setWindowFlags(flags);
    }
}

// ---- The small box's menu and dragging -------------------------------------

QString WindowModes::boxTip() const {
    const QString tip = QStringLiteral("Drag to move. Right click for menu.");
    return m_budgetLine.isEmpty() ? tip : tip + QLatin1Char('\n') + m_budgetLine;
}

void WindowModes::setBudgetLine(const QString& line) {
    m_budgetLine = line;
    if (m_tray)
        m_tray->TrayIconSetTipLine(line);
    if (mode() == CallMeter::SmallBox)
        m_parts.animationPanel->setToolTip(boxTip());
}

void WindowModes::popUpMenu(QPoint globalPosition) {
    Dragging = false;
    m_parts.menu->popup(globalPosition);
}

void WindowModes::trayAction(int action) {
    switch (TrayIcon::Action(action)) {
    case TrayIcon::Action::Click:
        m_meter.StartOrStopByHand();
        break;
    case TrayIcon::Action::Open:
        // A window of the program is waiting for an answer: nothing else opens
        // or closes until it has one.
        if (!QApplication::activeModalWidget() && mode() == CallMeter::TaskbarIcon)
            LoadMainClick();
        break;
    }
}

// A notification area that goes away takes the icon with it: the window comes
// back, and goes to the icon again when a notification area returns.
void WindowModes::trayAvailable(bool available) {
    if (!available && mode() == CallMeter::TaskbarIcon) {
        LoadMainClick();
        m_iconLostWithTray = true;
    } else if (available && m_iconLostWithTray) {
        m_iconLostWithTray = false;
        if (mode() == CallMeter::NormalWindow && m_parts.window->isVisible())
            TaskBarButtonClick();
    }
}

// The box's keys: its menu by the menu key or Shift+F10, a start or stop by
// Space or Enter, and each entry of the menu by its Alt key.
bool WindowModes::boxKeyPress(const QKeyEvent* key) {
    const QWidget* panel = m_parts.animationPanel;
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    showMenuStates();
    if (key->key() == Qt::Key_Menu || (key->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier)) {
        popUpMenu(panel->mapToGlobal(panel->rect().center()));
        return true;
    }
    if (modifiers == Qt::NoModifier &&
        (key->key() == Qt::Key_Space || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        m_parts.menu->StartOrStop->trigger();
        return true;
    }
    if (modifiers != Qt::AltModifier)
        return false;
    const QKeySequence pressed(Qt::ALT | Qt::Key(key->key()));
    for (QAction* entry : m_parts.menu->actions()) {
        if (entry->isEnabled() && QKeySequence::mnemonic(entry->text()) == pressed) {
            entry->trigger();
            return true;
        }
    }
    return false;
}

bool WindowModes::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_parts.window->windowHandle()) {
        if (event->type() == QEvent::Expose)
            minimised();
        return false;
    }
    if (watched != m_parts.animationPanel)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
        return mode() == CallMeter::SmallBox && boxKeyPress(static_cast<QKeyEvent*>(event));
    case QEvent::MouseButtonPress:
        if (mode() != CallMeter::SmallBox)
            return false;
        // The desktop moves the box where it can, and then tells where it is:
        // some desktops (XWayland's) would not honour the program's moves. The
        // other buttons drag it too, and keep the menu they open on release.
        if (QWindow* native = m_parts.window->windowHandle();
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && native &&
            native->startSystemMove())
            return true;
        Dragging = true;
        // Kept in the desktop's coordinates: the pointer's place within the
        // box lags behind while the desktop has yet to tell the box's move.
        m_dragFrom = static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - framePlace();
        return true;
    case QEvent::MouseMove:
        if (!Dragging)
            return false;
        m_parts.window->setGeometry(
            QRect(static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - m_dragFrom,
                  m_parts.window->size()));
        return true;
    case QEvent::MouseButtonRelease:
        if (!Dragging)
            return false;
        Dragging = false;
        return true;
    default:
        return false;
    }
}
