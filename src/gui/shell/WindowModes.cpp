#include "gui/shell/WindowModes.h"

#include "core/meter/CallMeter.h"
#include "core/seams/TrayIcon.h"
#include "core/settings/ShellSettings.h"
#include "gui/meter/TLargeForm.h"
#include "gui/shell/IconicHint.h"
#include "gui/shell/ScreenPlace.h"
#include "gui/shell/ShellPictures.h"
#include "gui/shell/SmallBoxMenu.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBoxLayout>
#include <QCursor>
#include <QDialog>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace {
const QString ScanningForCallsTitle = QStringLiteral("Scanning for Calls..");
constexpr quint32 TrayIconId = 1;
} // namespace

WindowModes::WindowModes(CallMeter& meter, TrayIcon* tray, const Parts& parts, QObject* parent)
    : QObject(parent), m_meter(meter), m_tray(tray), m_parts(parts),
      m_normalFlags(parts.window->windowFlags() & ~Qt::WindowStaysOnTopHint) {
    m_parts.animationPanel->installEventFilter(this);
    connect(m_parts.animationPanel, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { popUpMenu(m_parts.animationPanel->mapToGlobal(at)); });
    if (m_tray)
        m_tray->setActionHandler([this](TrayIcon::Action action) { trayAction(int(action)); });
}

WindowModes::~WindowModes() {
    if (m_tray)
        m_tray->setActionHandler(nullptr);
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

void WindowModes::placeFrame(QPoint at) {
    QWidget* window = m_parts.window;
    if (mode() == CallMeter::SmallBox)
        window->setGeometry(QRect(ScreenPlace::onScreen(QRect(at, window->size())), window->size()));
    else
        ScreenPlace::moveOnScreen(window, at);
}

void WindowModes::SaveWindowPosition() {
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
    m_stayOnTop = m_parts.stayOnTopCheckbox->isChecked();
    setOnTopLayer(m_stayOnTop);
    showStayOnTop();
}

void WindowModes::ShrinkToBoxAndGrow() {
    const int from = mode();
    if (from != CallMeter::NormalWindow && from != CallMeter::SmallBox)
        return;
    const bool toBox = from == CallMeter::NormalWindow;
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
    Qt::WindowFlags flags = toBox ? Qt::Window | Qt::FramelessWindowHint : m_normalFlags;
    flags.setFlag(Qt::WindowStaysOnTopHint, m_stayOnTop);
    window->setWindowFlags(flags);
    window->layout()->activate(); // sized now, to be placed by its size
    m_meter.setWindowMode(toBox ? CallMeter::SmallBox : CallMeter::NormalWindow);
    LoadWindowPosition();
    window->show();
}

void WindowModes::MinimiseButtonClick() {
    m_meter.setWindowMode(CallMeter::Minimised);
    if (!m_meter.isTiming())
        m_meter.SetApplicationTitle(ScanningForCallsTitle);
    m_parts.window->showMinimized();
}

bool WindowModes::TaskBarButtonClick() {
    // Without a notification area the hidden window could never be brought back.
    if (!m_tray || !m_tray->isAvailable()) {
        m_meter.queueWarning(NoTrayText);
        return false;
    }
    m_meter.setTrayIconFrame(1);
    SaveWindowPosition();
    m_meter.setWindowMode(CallMeter::TaskbarIcon);
    m_parts.window->hide();
    m_parts.menu->StayOnTopMenuItem->setEnabled(false);
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
    m_parts.menu->StayOnTopMenuItem->setEnabled(true);
    m_meter.setWindowMode(CallMeter::NormalWindow);
    m_parts.window->raise();
    m_parts.window->activateWindow();
}

void WindowModes::windowStateChanged() {
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

void WindowModes::bringToView() {
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

void WindowModes::ApplicationDeActivate() {
    if (mode() != CallMeter::NormalWindow && mode() != CallMeter::SmallBox)
        return;
    m_meter.SetApplicationTitle(ScanningForCallsTitle);
    m_meter.setMeterInTitle(true);
}

void WindowModes::ApplicationActivate() {
    if (!m_meter.meterInTitle())
        return;
    m_meter.SetApplicationTitle(TLargeForm::ApplicationTitle);
    m_meter.setMeterInTitle(false);
}

// ---- Always on top ---------------------------------------------------------

void WindowModes::StayOnTopButtonClick() {
    m_stayOnTop = !m_stayOnTop;
    setOnTopLayer(m_stayOnTop);
    showStayOnTop();
}

void WindowModes::showStayOnTop() {
    // The picture and the hint tell what the next click does.
    m_parts.menu->StayOnTopMenuItem->setChecked(m_stayOnTop);
    m_parts.stayOnTopButton->setToolTip(m_stayOnTop ? QStringLiteral("Don't Make Window stay On Top")
                                                    : QStringLiteral("Make Window stay On Top"));
    m_parts.stayOnTopButton->setIcon(m_stayOnTop ? ShellPictures::NotStayOnTopImage()
                                                 : ShellPictures::StayOnTopImage());
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
    case TrayIcon::Action::Menu:
    case TrayIcon::Action::Open:
        // A window of the program is waiting for an answer: nothing else opens
        // or closes until it has one.
        if (QApplication::activeModalWidget())
            break;
        if (TrayIcon::Action(action) == TrayIcon::Action::Menu)
            popUpMenu(QCursor::pos());
        else if (mode() == CallMeter::TaskbarIcon)
            LoadMainClick();
        break;
    }
}

bool WindowModes::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_parts.animationPanel)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (mode() != CallMeter::SmallBox)
            return false;
        Dragging = true;
        // Kept in the desktop's coordinates: the pointer's place within the
        // box lags behind while the desktop has yet to tell the box's move.
        m_dragFrom = static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - framePlace();
        // Where windows may not place themselves the desktop moves the box.
        if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")) &&
            m_parts.window->windowHandle())
            m_parts.window->windowHandle()->startSystemMove();
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
