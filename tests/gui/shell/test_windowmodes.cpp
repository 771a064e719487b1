// The main window's views: the moves between them and the places they keep,
// the small box's drag, the notification icon carrying the meter, the
// always-on-top layer and the taskbar text.
#include "gui/meter/LargeFormFixture.h"

#include "core/calllog/CallLog.h"
#include "gui/setup/TSetupForm.h"
#include "gui/shell/QtTrayIcon.h"
#include "gui/shell/ScreenPlace.h"
#include "gui/shell/SmallBoxMenu.h"
#include "gui/shell/TAboutForm.h"
#include "gui/shell/WindowModes.h"
#include "gui/viewer/TDataForm.h"

#include <QAction>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

Q_DECLARE_METATYPE(QList<QPoint>)
Q_DECLARE_METATYPE(QList<QSystemTrayIcon::ActivationReason>)

namespace {
const char* const Defaults = "Default Setup Information";

// The main window's size each time it is made for the desktop.
struct SizesWhenMade : QObject {
    QList<QSize> sizes;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WinIdChange && watched->objectName() == QLatin1String("LargeForm"))
            sizes << static_cast<QWidget*>(watched)->size();
        return false;
    }
};

const QPoint NormalPlace(-20, 150);
const QPoint BoxPlace(300, 40);
} // namespace

class TestWindowModes : public QObject, LargeFormFixture {
    Q_OBJECT

    QPoint stored(const char* view) const {
        const QString prefix = QLatin1String(view);
        return QPoint(
            settings().ReadSettingInteger(QLatin1String(Defaults), prefix + " Window Left Position", 0),
            settings().ReadSettingInteger(QLatin1String(Defaults), prefix + " Window Top Position", 0));
    }
    std::unique_ptr<TLargeForm> startIn(int view) {
        set(Defaults, "WindowToLoad", QString::number(view));
        return makeWindow();
    }
    static QAction* entry(TLargeForm& w, const char* name) {
        return w.findChild<QAction*>(QLatin1String(name));
    }
    static bool onTop(QWidget& w) { return w.windowFlags().testFlag(Qt::WindowStaysOnTopHint); }

private slots:
    void init() {
        reset();
        set(Defaults, "Normal Window Left Position", QString::number(NormalPlace.x()));
        set(Defaults, "Normal Window Top Position", QString::number(NormalPlace.y()));
        set(Defaults, "SmallBox Window Left Position", QString::number(BoxPlace.x()));
        set(Defaults, "SmallBox Window Top Position", QString::number(BoxPlace.y()));
    }

    // Every move between views: where the window is, how it looks, what was
    // stored for the view it left (it was moved by (7, 9) there first) and what
    // the notification area saw.
    void viewChanges_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("view");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QList<QPoint>>("storedAfter"); // normal window, small box
        QTest::addColumn<QStringList>("trayCalls");
        const QPoint moved(7, 9);
        const QString added = QStringLiteral("add mini|Scanning for calls...");
        QTest::newRow("normal to small box") << 0 << "ShrinkToBoxButton" << 1 << "box"
                                             << QList<QPoint>{NormalPlace + moved, BoxPlace} << QStringList();
        QTest::newRow("small box to normal") << 1 << "LoadMain" << 0 << "normal"
                                             << QList<QPoint>{NormalPlace, BoxPlace + moved} << QStringList();
        QTest::newRow("normal to minimised") << 0 << "MinimiseButton" << 3 << "minimised"
                                             << QList<QPoint>{NormalPlace, BoxPlace} << QStringList();
        QTest::newRow("normal to taskbar icon")
            << 0 << "TaskBarButton" << 2 << "hidden" << QList<QPoint>{NormalPlace + moved, BoxPlace}
            << QStringList{added};
        QTest::newRow("taskbar icon to normal by the menu")
            << 2 << "LoadMain" << 0 << "normal" << QList<QPoint>{NormalPlace, BoxPlace}
            << QStringList{added, QStringLiteral("remove")};
        QTest::newRow("taskbar icon to normal by a double click")
            << 2 << "double click" << 0 << "normal" << QList<QPoint>{NormalPlace, BoxPlace}
            << QStringList{added, QStringLiteral("remove")};
        QTest::newRow("minimised restored by the desktop")
            << 3 << "restore" << 0 << "normal" << QList<QPoint>{NormalPlace, BoxPlace} << QStringList();
        QTest::newRow("minimised, started again")
            << 3 << "started again" << 0 << "normal" << QList<QPoint>{NormalPlace, BoxPlace} << QStringList();
        QTest::newRow("taskbar icon, started again")
            << 2 << "started again" << 0 << "normal" << QList<QPoint>{NormalPlace, BoxPlace}
            << QStringList{added, QStringLiteral("remove")};
    }
    void viewChanges() {
        QFETCH(int, start);
        QFETCH(QString, action);
        QFETCH(int, view);
        QFETCH(QString, state);
        QFETCH(QList<QPoint>, storedAfter);
        QFETCH(QStringList, trayCalls);
        auto w = startIn(start);
        QCOMPARE(w->meter().windowMode(), start);
        if (w->isVisible() && !w->isMinimized())
            w->move(w->pos() + QPoint(7, 9));

        if (action == QLatin1String("LoadMain"))
            entry(*w, "LoadMain")->trigger();
        else if (action == QLatin1String("double click"))
            tray.click(TrayIcon::Action::Open);
        else if (action == QLatin1String("restore"))
            w->showNormal();
        else if (action == QLatin1String("started again"))
            w->views().bringToView(QStringLiteral("launcher-token"));
        else
            child<QPushButton>(*w, action.toLatin1().constData())->click();

        QCOMPARE(w->meter().windowMode(), view);
        QCOMPARE(w->isVisible(), state != QLatin1String("hidden"));
        QCOMPARE(w->isMinimized(), state == QLatin1String("minimised"));
        const bool box = state == QLatin1String("box");
        QCOMPARE(w->windowFlags().testFlag(Qt::FramelessWindowHint), box);
        QCOMPARE(w->size(), box ? QSize(146, 77) : QSize(511, 303));
        QCOMPARE(stored("Normal"), storedAfter[0]);
        QCOMPARE(stored("SmallBox"), storedAfter[1]);
        // The place of the frame, where the desktop shows it; the box has none.
        if (state == QLatin1String("normal") || box)
            QCOMPARE(box ? w->geometry().topLeft() : w->pos(), storedAfter[box ? 1 : 0]);
        QCOMPARE(tray.calls, trayCalls);
        QCOMPARE(windows.tokens, action == QLatin1String("started again")
                                     ? QStringList{QStringLiteral("launcher-token")}
                                     : QStringList());
        QCOMPARE(entry(*w, "StayOnTopMenuItem")->isEnabled(), view != 2);
        if (view == 3)
            QCOMPARE(w->windowTitle(), QStringLiteral("Scanning for Calls.."));
        if (start == 3)
            QCOMPARE(w->windowTitle(), TLargeForm::ApplicationTitle);
        // A default-view choice changes nothing now.
        child<QRadioButton>(*w, "SmallBoxRadio")->click();
        QCOMPARE(w->meter().windowMode(), view);
    }

    // Minimised from its title bar, not only by the program, a view comes back
    // when the program is started again.
    void startingAgainRestoresAMinimisedWindow_data() {
        QTest::addColumn<int>("view");
        QTest::newRow("normal window") << 0;
        QTest::newRow("small box") << 1;
    }
    void startingAgainRestoresAMinimisedWindow() {
        QFETCH(int, view);
        auto w = startIn(view);
        w->showMinimized();
        w->views().bringToView();
        QVERIFY(w->isVisible());
        QVERIFY(!w->isMinimized());
        QCOMPARE(w->meter().windowMode(), view);
    }

    // A place that no screen shows any more comes onto the nearest screen; a
    // place partly on a screen is kept.
    void placesOffEveryScreenComeBack_data() {
        QTest::addColumn<QPoint>("stored");
        QTest::addColumn<QPoint>("shown");
        const QSize window(517, 328);
        QTest::newRow("on the first screen") << QPoint(100, 100) << QPoint(100, 100);
        QTest::newRow("partly off the left edge") << QPoint(-20, 50) << QPoint(-20, 50);
        QTest::newRow("on the second screen") << QPoint(2000, 500) << QPoint(2000, 500);
        QTest::newRow("right of every screen") << QPoint(5000, 100) << QPoint(3200 - window.width(), 100);
        QTest::newRow("below the smaller screen")
            << QPoint(2000, 1050) << QPoint(2000, 1024 - window.height());
        QTest::newRow("above and left of all") << QPoint(-3000, -900) << QPoint(0, 0);
        QTest::newRow("below the first screen") << QPoint(300, 4000) << QPoint(300, 1080 - window.height());
        // The title bar above the screen, where the window could not be moved by it.
        QTest::newRow("title bar above the screen") << QPoint(300, -20) << QPoint(300, 0);
    }
    void placesOffEveryScreenComeBack() {
        QFETCH(QPoint, stored);
        QFETCH(QPoint, shown);
        const QList<QRect> screens = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
        QCOMPARE(ScreenPlace::onScreen(QRect(stored, QSize(517, 328)), screens), shown);
    }

    void storedPlaceOffTheScreenComesBack_data() {
        QTest::addColumn<int>("view");
        QTest::newRow("normal window") << 0;
        QTest::newRow("small box") << 1;
    }
    void storedPlaceOffTheScreenComesBack() {
        QFETCH(int, view);
        set(Defaults, "Normal Window Left Position", QStringLiteral("30000"));
        set(Defaults, "SmallBox Window Top Position", QStringLiteral("-30000"));
        auto w = startIn(view);
        QVERIFY(w->screen()->availableGeometry().contains(w->frameGeometry().topLeft()));
    }

    // The window has the size of all it shows, the budget's line among it,
    // when it is made for the desktop and told where its frame goes: a size
    // taken after that would have the desktop put its inside there instead.
    void windowIsSizedBeforeItIsPlaced_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<bool>("budget");
        for (const bool budget : {false, true}) {
            QTest::addRow("normal window, budget %d", budget) << 0 << budget;
            QTest::addRow("small box, budget %d", budget) << 1 << budget;
        }
    }
    void windowIsSizedBeforeItIsPlaced() {
        QFETCH(int, start);
        QFETCH(bool, budget);
        set("Budget", "BudgetOn", QString::number(budget));
        SizesWhenMade made;
        qApp->installEventFilter(&made);
        auto w = startIn(start);
        settle();
        QVERIFY(!made.sizes.isEmpty());
        QCOMPARE(made.sizes.last(), w->size());
        QCOMPARE(!child<QLabel>(*w, "BudgetLine")->isHidden(), budget);
    }

    void smallBoxIsDraggedWithAnyButton_data() {
        QTest::addColumn<int>("view");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("moves");
        QTest::newRow("small box, left button") << 1 << Qt::LeftButton << true;
        QTest::newRow("small box, right button") << 1 << Qt::RightButton << true;
        QTest::newRow("normal window") << 0 << Qt::LeftButton << false;
    }
    void smallBoxIsDraggedWithAnyButton() {
        QFETCH(int, view);
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, moves);
        auto w = startIn(view);
        const QPoint before = w->pos();
        auto* duration = child<QLabel>(*w, "Duration");
        const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
            QMouseEvent event(type, at, duration->mapToGlobal(at), button, held, Qt::NoModifier);
            QApplication::sendEvent(duration, &event);
        };
        send(QEvent::MouseButtonPress, QPoint(10, 10), button);
        send(QEvent::MouseMove, QPoint(30, 25), button);
        send(QEvent::MouseButtonRelease, QPoint(30, 25), Qt::NoButton);
        send(QEvent::MouseMove, QPoint(50, 50), Qt::NoButton);
        QCOMPARE(w->pos(), moves ? before + QPoint(20, 15) : before);
        // Its menu opens by itself only in the small box.
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                  duration->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(duration, &menuKey);
        auto* menu = w->findChild<SmallBoxMenu*>();
        QCOMPARE(menu->isVisible(), moves);
        menu->close();
    }

    void trayIconCarriesTheMeter() {
        auto w = startIn(2);
        tray.calls.clear();
        tray.click(TrayIcon::Action::Click);
        QVERIFY(w->meter().isTiming());
        QCOMPARE(entry(*w, "StartOrStop")->text(), QStringLiteral("&Stop"));
        clock.advance(1000);
        w->meter().MainTimerTimer();
        w->meter().MainTimerTimer(); // the same tip is not sent again
        QCOMPARE(tray.calls, (QStringList{QStringLiteral("tip Test - 00:00:01 - 0.1p"),
                                          QStringLiteral("image mini2"), QStringLiteral("image mini3")}));
        tray.click(TrayIcon::Action::Click);
        QVERIFY(!w->meter().isTiming());
        QCOMPARE(tray.calls.mid(tray.calls.size() - 2),
                 (QStringList{QStringLiteral("image mini"), QStringLiteral("tip Scanning for calls")}));
        QCOMPARE(CallLog(path(QStringLiteral("Calls.log"))).readAll().size(), size_t(1));
        QCOMPARE(tray.menu, w->findChild<SmallBoxMenu*>()); // the desktop shows it
    }

    // A click counts once no second one followed it: a double click opens the
    // window without starting or stopping a call on the way.
    void desktopClicksOnTheIcon_data() {
        using R = QSystemTrayIcon::ActivationReason;
        QTest::addColumn<QList<R>>("reported");
        QTest::addColumn<QList<int>>("actions");
        const int click = int(TrayIcon::Action::Click), open = int(TrayIcon::Action::Open);
        QTest::newRow("click") << QList<R>{R::Trigger} << QList<int>{click};
        QTest::newRow("double click") << QList<R>{R::Trigger, R::DoubleClick} << QList<int>{open};
        QTest::newRow("two clicks in time") << QList<R>{R::Trigger, R::Trigger} << QList<int>{open};
        QTest::newRow("menu, which Qt shows") << QList<R>{R::Trigger, R::Context} << QList<int>{};
    }
    void desktopClicksOnTheIcon() {
        QFETCH(QList<QSystemTrayIcon::ActivationReason>, reported);
        QFETCH(QList<int>, actions);
        QtTrayIcon icon;
        QList<int> seen;
        icon.setActionHandler([&](TrayIcon::Action action) { seen << int(action); });
        for (auto reason : reported)
            emit icon.systemTrayIcon()->activated(reason);
        auto* pending = icon.findChild<QTimer*>(QStringLiteral("PendingClick"));
        if (pending->isActive()) { // the double-click time runs out
            pending->stop();
            QMetaObject::invokeMethod(pending, "timeout");
        }
        QCOMPARE(seen, actions);
    }

    // Without a notification area the window would vanish for good.
    void noNotificationAreaKeepsTheWindow_data() {
        QTest::addColumn<bool>("atStart");
        QTest::newRow("Taskbar button") << false;
        QTest::newRow("default view at start") << true;
    }
    void noNotificationAreaKeepsTheWindow() {
        QFETCH(bool, atStart);
        tray.available = false;
        auto w = startIn(atStart ? 2 : 0);
        if (!atStart)
            child<QPushButton>(*w, "TaskBarButton")->click();
        settle();
        QCOMPARE(w->meter().windowMode(), 0);
        QVERIFY(w->isVisible());
        QVERIFY(tray.calls.isEmpty());
        QCOMPARE(prompter.warnings, QStringList{WindowModes::NoTrayText});
    }

    void stayOnTopAndTheBoxesThatLeaveIt() {
        set(Defaults, "Stay On Top", QStringLiteral("1"));
        auto w = makeWindow();
        auto* button = child<QPushButton>(*w, "StayOnTopButton");
        QVERIFY(onTop(*w));
        QVERIFY(entry(*w, "StayOnTopMenuItem")->isChecked());
        QCOMPARE(button->toolTip(), QStringLiteral("Don't Make Window stay On Top"));
        button->click();
        QVERIFY(!onTop(*w));
        QVERIFY(w->isVisible());
        QVERIFY(!entry(*w, "StayOnTopMenuItem")->isChecked());
        QCOMPARE(button->toolTip(), QStringLiteral("Make Window stay On Top"));
        entry(*w, "StayOnTopMenuItem")->trigger();
        QVERIFY(onTop(*w));
        QVERIFY(entry(*w, "StayOnTopMenuItem")->isChecked());

        child<QPushButton>(*w, "ShrinkToBoxButton")->click();
        QVERIFY(onTop(*w));
        bool behindTheAboutBox = false;
        whenModalOpens<TAboutForm>(this, [&](TAboutForm& about) {
            behindTheAboutBox = !onTop(*w);
            about.accept();
        });
        w->AboutButtonClick();
        QVERIFY(behindTheAboutBox);
        QVERIFY(onTop(*w));
        QVERIFY(w->isVisible());
    }

    // In the background the taskbar text carries the meter in the normal and
    // small-box views; the icon and the minimised window have their own.
    void backgroundTitle_data() {
        QTest::addColumn<int>("view");
        QTest::addColumn<bool>("meterInTitle");
        QTest::newRow("normal") << 0 << true;
        QTest::newRow("small box") << 1 << true;
        QTest::newRow("taskbar icon") << 2 << false;
        QTest::newRow("minimised") << 3 << false;
    }
    void backgroundTitle() {
        QFETCH(int, view);
        QFETCH(bool, meterInTitle);
        auto w = startIn(view);
        const QString before = w->windowTitle();
        w->views().ApplicationDeActivate();
        QCOMPARE(w->meter().meterInTitle(), meterInTitle);
        QCOMPARE(w->windowTitle(), meterInTitle ? QStringLiteral("Scanning for Calls..") : before);
        w->views().ApplicationActivate();
        QVERIFY(!w->meter().meterInTitle());
        if (meterInTitle)
            QCOMPARE(w->windowTitle(), TLargeForm::ApplicationTitle);
    }

    // From the icon's menu the window stays hidden; the settings are read
    // again and the line is watched in its new mode.
    void setupFromTheIconsMenu() {
        auto w = startIn(2);
        bool hidden = false, menuOpens = true;
        whenModalOpens<TSetupForm>(this, [&](TSetupForm& d) {
            hidden = !w->isVisible();
            emit tray.menu->aboutToShow(); // no second dialog over this one
            menuOpens = entry(*w, "SetupMenuItem")->isEnabled() || entry(*w, "CloseProgram")->isEnabled();
            child<QRadioButton>(d, "Auto32bitRadioButton")->click();
            child<QPushButton>(d, "MainOKButton")->click();
        });
        entry(*w, "SetupMenuItem")->trigger();
        QVERIFY(hidden);
        QVERIFY(!menuOpens);
        emit tray.menu->aboutToShow();
        QVERIFY(entry(*w, "SetupMenuItem")->isEnabled());
        QVERIFY(!w->isVisible());
        QCOMPARE(w->meter().settings().sensingMode, 2);
        QVERIFY(line.isOpen());
        QVERIFY(!w->meter().meterInTitle());
    }

    // A desktop that keeps places, the always-on-top layer and minimising to
    // itself: no place is written or used and the window stays behind a dialog
    // over it; no "Stay On Top", and why; an ignored minimise changes nothing.
    void whatTheDesktopWillNotDo_data() {
        QTest::addColumn<bool>("able");
        QTest::newRow("does all") << true;
        QTest::newRow("does none") << false;
    }
    void whatTheDesktopWillNotDo() {
        QFETCH(bool, able);
        windows.places = windows.onTop = windows.minimises = able;
        set(Defaults, "Stay On Top", QStringLiteral("1"));
        auto w = startIn(0);
        QCOMPARE(w->pos() == NormalPlace, able);
        QCOMPARE(onTop(*w), able);
        QCOMPARE(child<QPushButton>(*w, "StayOnTopButton")->isEnabled(), able);
        QCOMPARE(child<QPushButton>(*w, "StayOnTopButton")->toolTip() == WindowModes::NoOnTopText, !able);
        QCOMPARE(entry(*w, "StayOnTopMenuItem")->isEnabled(), able);
        w->move(w->pos() + QPoint(7, 9));
        child<QPushButton>(*w, "ShrinkToBoxButton")->click();
        QCOMPARE(w->size(), QSize(146, 77));
        QCOMPARE(onTop(*w), able);
        QCOMPARE(stored("Normal"), able ? NormalPlace + QPoint(7, 9) : NormalPlace);
        entry(*w, "LoadMain")->trigger();

        const WId native = w->winId();
        bool behind = false;
        const QWidget* over = nullptr;
        whenModalOpens<TDataForm>(this, [&](TDataForm& viewer) {
            behind = w->isVisible();
            over = viewer.parentWidget();
            viewer.reject();
        });
        child<QPushButton>(*w, "DataButton")->click();
        QCOMPARE(behind, !able);
        QCOMPARE(over, w.get());
        QCOMPARE(w->winId(), native);

        child<QPushButton>(*w, "MinimiseButton")->click();
        QCOMPARE(w->meter().windowMode(), able ? 3 : 0);
        w->views().ApplicationDeActivate(); // the focus goes with the request
        QCOMPARE(w->windowTitle(),
                 able ? QStringLiteral("Scanning for Calls..") : TLargeForm::ApplicationTitle);
    }

    // The notification area goes away with the program in it: the window comes
    // back, and goes to the icon again when a notification area returns, unless
    // the user chose another view meanwhile.
    void notificationAreaGoesAndComes_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<int>("viewAfter");
        QTest::newRow("in the icon") << 2 << QString() << 2;
        QTest::newRow("in the icon, then the small box") << 2 << "ShrinkToBoxButton" << 1;
        QTest::newRow("small box") << 1 << QString() << 1;
    }
    void notificationAreaGoesAndComes() {
        QFETCH(int, start);
        QFETCH(QString, meanwhile);
        QFETCH(int, viewAfter);
        auto w = startIn(start);
        tray.calls.clear();
        tray.setAvailable(false);
        QVERIFY(w->isVisible());
        QCOMPARE(w->meter().windowMode(), start == 2 ? 0 : start);
        QCOMPARE(tray.calls, start == 2 ? QStringList{QStringLiteral("remove")} : QStringList());
        if (!meanwhile.isEmpty())
            child<QPushButton>(*w, meanwhile.toLatin1().constData())->click();
        tray.setAvailable(true);
        QCOMPARE(w->meter().windowMode(), viewAfter);
        QCOMPARE(w->isVisible(), viewAfter != 2);
        QCOMPARE(tray.TrayIconActive(), viewAfter == 2);
    }

    // The main window from the keyboard: Tab follows the window, each group
    // of choices one stop at its checked choice; the Alt keys reach them.
    void mainWindowFromTheKeyboard() {
        auto w = startIn(0);
        child<QRadioButton>(*w, "NatRadio")->click();
        child<QCheckBox>(*w, "AutoTimeSense")->click();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        const auto focus = [] { return QApplication::focusWidget()->objectName(); };
        QCOMPARE(focus(), QStringLiteral("StartStopButton"));
        QStringList walk;
        do {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        } while (walk.size() < 30 && (walk << focus()).last() != QLatin1String("StartStopButton"));
        QCOMPARE(walk.join(' '),
                 QStringLiteral("SetupButton DataButton HelpButton AboutButton SpendingButton "
                                "ShrinkToBoxButton MinimiseButton TaskBarButton StayOnTopButton "
                                "NormalRadio StayOnTopCheckbox NatRadio AutoTimeSense DayRadio "
                                "StartStopButton"));
        for (const char* key : {"G:RegRadio", "V:EveRadio", "I:AutoTimeSense", "F:NormalRadio"}) {
            QTest::keyClick(QApplication::focusWidget(), key[0], Qt::AltModifier);
            QCOMPARE(focus(), QLatin1String(key + 2));
            QTRY_VERIFY(child<QAbstractButton>(*w, key + 2)->isChecked()); // an animated click
        }
    }

    // The small box from the keyboard: Space and its menu's Alt keys start and
    // stop, the menu opens by the menu key or Shift+F10, Alt+M goes back.
    void smallBoxFromTheKeyboard() {
        auto w = startIn(1);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        const auto press = [](const char* keys) {
            const QKeyCombination key = QKeySequence(QLatin1String(keys))[0];
            QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
        };
        for (const char* keys : {"Space", "Alt+S"}) {
            press(keys);
            QVERIFY(w->meter().isTiming());
            press(keys);
            QVERIFY(!w->meter().isTiming());
        }
        for (const char* keys : {"Menu", "Shift+F10"}) {
            press(keys);
            QVERIFY(w->findChild<SmallBoxMenu*>()->isVisible());
            w->findChild<SmallBoxMenu*>()->close();
        }
        press("Alt+M");
        QCOMPARE(w->meter().windowMode(), 0);
        w->activateWindow(); // the new window, as the desktop does
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QCOMPARE(QApplication::focusWidget(), child<QWidget>(*w, "StartStopButton"));
    }

    // The box's clock starts and stops a call with a double click, and the
    // box stays while the viewer opened from its menu is open.
    void smallBoxClockAndViewer() {
        auto w = startIn(1);
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        auto* clockSpin = child<QLabel>(*w, "ClockSpin");
        for (const bool timing : {true, false}) {
            QTest::mouseDClick(w->windowHandle(), Qt::LeftButton, {},
                               clockSpin->mapTo(w.get(), QPoint(5, 5)));
            QCOMPARE(w->meter().isTiming(), timing);
        }
        bool shown = false;
        whenModalOpens<TDataForm>(this, [&](TDataForm& viewer) {
            shown = w->isVisible();
            viewer.reject();
        });
        entry(*w, "PastCallsMenuItem")->trigger();
        QVERIFY(shown && w->isVisible());
    }
};

QTEST_MAIN(TestWindowModes)
#include "test_windowmodes.moc"
