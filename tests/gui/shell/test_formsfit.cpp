// The main window, the small box and the shell's fixed forms at the program's
// own type and at larger ones: their drawn sizes, texts that fit and do not
// overlap, the meter's figures that never move the window, accessible names
// and the view buttons' Alt keys.
#include "gui/meter/LargeFormFixture.h"

#include "gui/shell/TAboutForm.h"
#include "gui/shell/TPortSetupForm.h"
#include "gui/shell/TTitleForm.h"
#include "gui/shell/TWelcomeForm.h"
#include "gui/shell/WindowModes.h"

#include <QAccessible>
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

namespace {
const char* const Defaults = "Default Setup Information";

QString nameOf(const QWidget* w) {
    return QStringLiteral("%1 %2 \"%3\"")
        .arg(QLatin1String(w->metaObject()->className()), w->objectName(),
             qobject_cast<const QLabel*>(w)            ? static_cast<const QLabel*>(w)->text()
             : qobject_cast<const QAbstractButton*>(w) ? static_cast<const QAbstractButton*>(w)->text()
                                                       : QString());
}

// The about box's pictures slide over its texts on purpose.
bool slides(const QWidget* w) {
    return w->objectName().startsWith(QLatin1String("Slide"));
}

// Whether a push button's text and picture fit inside the frame the style draws.
bool buttonTextFits(const QPushButton* button) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.features = button->isDefault() ? QStyleOptionButton::DefaultButton : QStyleOptionButton::None;
    const QRect inside = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    const QFontMetrics metrics = button->fontMetrics();
    QSize need(metrics.horizontalAdvance(QString(button->text()).remove(QLatin1Char('&'))), metrics.height());
    if (!button->icon().isNull())
        need = QSize(need.width() + button->iconSize().width() + 4,
                     std::max(need.height(), button->iconSize().height()));
    return need.width() <= inside.width() && need.height() <= inside.height();
}

// Everything on show in form whose text is cut, that sticks out of its
// parent or that lies over another text or control.
QStringList unfit(QWidget& form) {
    QStringList found;
    QList<QWidget*> shown;
    for (QWidget* w : form.findChildren<QWidget*>()) {
        if (w->isWindow() || !w->isVisibleTo(&form))
            continue;
        shown << w;
        const QSize size = w->size();
        auto tooSmall = [&](QSize need) {
            if (need.width() > size.width() || need.height() > size.height())
                found << nameOf(w) + QStringLiteral(" needs %1x%2, has %3x%4")
                                         .arg(need.width())
                                         .arg(need.height())
                                         .arg(size.width())
                                         .arg(size.height());
        };
        if (!slides(w) && !w->parentWidget()->rect().contains(w->geometry()))
            found << nameOf(w) + QStringLiteral(" sticks out of its parent");
        if (auto* label = qobject_cast<QLabel*>(w)) {
            if (label->wordWrap())
                tooSmall(QSize(0, label->heightForWidth(size.width())));
            else if (label->sizePolicy().horizontalPolicy() != QSizePolicy::Ignored)
                tooSmall(label->sizeHint());
        } else if (auto* button = qobject_cast<QPushButton*>(w)) {
            if (!buttonTextFits(button))
                found << nameOf(w) + QStringLiteral(" cuts its text");
        } else if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QGroupBox*>(w)) {
            tooSmall(w->minimumSizeHint().expandedTo(qobject_cast<QGroupBox*>(w) ? QSize() : w->sizeHint()));
        }
    }
    // Texts and controls side by side never overlap.
    for (QWidget* a : shown) {
        const bool control = qobject_cast<QLabel*>(a) || qobject_cast<QAbstractButton*>(a);
        if (!control || slides(a))
            continue;
        for (QWidget* b : shown) {
            if (b <= a || b->parentWidget() != a->parentWidget() || slides(b) ||
                !(qobject_cast<QLabel*>(b) || qobject_cast<QAbstractButton*>(b)))
                continue;
            if (a->geometry().intersects(b->geometry()))
                found << nameOf(a) + QStringLiteral(" lies over ") + nameOf(b);
        }
    }
    return found;
}

class FontForTheTest {
public:
    explicit FontForTheTest(double points) : m_was(QApplication::font()) {
        QFont font = m_was;
        font.setPointSizeF(points);
        QApplication::setFont(font);
    }
    ~FontForTheTest() { QApplication::setFont(m_was); }

private:
    QFont m_was;
};
} // namespace

class TestFormsFit : public QObject, LargeFormFixture {
    Q_OBJECT

    std::unique_ptr<QWidget> open(const QString& form) {
        std::unique_ptr<QWidget> w;
        if (form == QLatin1String("main window") || form == QLatin1String("small box")) {
            set(Defaults, "WindowToLoad", form == QLatin1String("small box") ? "1" : "0");
            return makeWindow();
        }
        if (form == QLatin1String("splash"))
            w = std::make_unique<TTitleForm>();
        else if (form == QLatin1String("wizard"))
            w = std::make_unique<TWelcomeForm>(services);
        else if (form == QLatin1String("port chooser"))
            w = std::make_unique<TPortSetupForm>(services);
        else
            w = std::make_unique<TAboutForm>(services);
        w->show();
        return w;
    }
    static void addForms() {
        QTest::addColumn<QString>("form");
        for (const char* form : {"main window", "small box", "splash", "wizard", "port chooser", "about box"})
            QTest::newRow(form) << QString::fromLatin1(form);
    }

private slots:
    void init() { reset(); }

    void drawnSizeAtTheProgramsType_data() {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QSize>("size");
        QTest::newRow("main window") << "main window" << QSize(511, 303);
        QTest::newRow("small box") << "small box" << QSize(146, 77);
        QTest::newRow("splash") << "splash" << QSize(405, 287);
        QTest::newRow("about box") << "about box" << QSize(271, 179);
    }
    void drawnSizeAtTheProgramsType() {
        QFETCH(QString, form);
        QFETCH(QSize, size);
        const FontForTheTest type(9);
        auto w = open(form);
        QCOMPARE(w->size(), size);
        QVERIFY2(unfit(*w).isEmpty(), qPrintable(unfit(*w).join(QStringLiteral("; "))));
    }

    void textsFitAtALargerType_data() {
        QTest::addColumn<QString>("form");
        QTest::addColumn<double>("points");
        for (const char* form : {"main window", "small box", "splash", "wizard", "port chooser", "about box"})
            for (double points : {11.0, 16.0})
                QTest::addRow("%s, %g points", form, points) << QString::fromLatin1(form) << points;
    }
    void textsFitAtALargerType() {
        QFETCH(QString, form);
        QFETCH(double, points);
        const FontForTheTest type(points);
        auto w = open(form);
        QVERIFY2(unfit(*w).isEmpty(), qPrintable(unfit(*w).join(QStringLiteral("; "))));
    }

    // The figures of a day-long call, the indicators and the manual band
    // appear in room kept for them: the window neither moves nor resizes, and
    // the main window goes back to the small box and back at the same size.
    void meterNeverMovesTheWindow_data() {
        QTest::addColumn<double>("points");
        QTest::newRow("the program's type") << 9.0;
        QTest::newRow("a larger type") << 14.0;
    }
    void meterNeverMovesTheWindow() {
        QFETCH(double, points);
        const FontForTheTest type(points);
        set(Defaults, "SpendWarningOn", QStringLiteral("0"));
        auto w = makeWindow();
        const QSize normal = w->size();
        QMap<QWidget*, QRect> places;
        for (QWidget* c : w->findChildren<QWidget*>())
            if (c->isVisibleTo(w.get()))
                places[c] = c->geometry();
        child<QRadioButton>(*w, "RegRadio")->click(); // 12p a minute
        child<QAbstractButton>(*w, "StartStopButton")->click();
        clock.advance((24 * 3600 - 1) * 1000);
        w->meter().MainTimerTimer();
        w->meter().OffTimerTimer();
        child<QRadioButton>(*w, "IntRadio")->click(); // the longest distance, the figures kept
        child<QCheckBox>(*w, "AutoTimeSense")->click();
        QCoreApplication::processEvents();
        QCOMPARE(text(*w, "Duration"), QStringLiteral("23:59:59"));
        QCOMPARE(text(*w, "GrossCost"), QStringLiteral("\u00a3203.04"));
        QCOMPARE(text(*w, "Distance"), QStringLiteral("International"));
        QVERIFY2(unfit(*w).isEmpty(), qPrintable(unfit(*w).join(QStringLiteral("; "))));
        child<QAbstractButton>(*w, "StartStopButton")->click();
        finishSweep(*w);
        child<QCheckBox>(*w, "AutoTimeSense")->click();
        QCoreApplication::processEvents();
        QCOMPARE(text(*w, "MinChargeLight"), QStringLiteral("Previous Call"));
        QCOMPARE(w->size(), normal);
        for (auto place = places.begin(); place != places.end(); ++place)
            QVERIFY2(place.key()->geometry() == place.value(), qPrintable(nameOf(place.key())));

        child<QPushButton>(*w, "ShrinkToBoxButton")->click();
        QCOMPARE(w->size(), child<QWidget>(*w, "AnimationPanel")->sizeHint());
        QVERIFY2(unfit(*w).isEmpty(), qPrintable(unfit(*w).join(QStringLiteral("; "))));
        w->findChild<QAction*>(QStringLiteral("LoadMain"))->trigger();
        QCOMPARE(w->size(), normal);
    }

    // A new type while the window is on show (the desktop's font changed).
    void typeChangedWhileShown() {
        auto w = makeWindow();
        const QSize before = w->size();
        {
            const FontForTheTest type(16);
            QTRY_VERIFY(w->width() > before.width() && w->height() > before.height());
            QVERIFY2(unfit(*w).isEmpty(), qPrintable(unfit(*w).join(QStringLiteral("; "))));
        }
        QTRY_COMPARE(w->size(), before);
    }

    // What a screen reader says for every control, picture and thing with a hint.
    void everyControlHasAnAccessibleName_data() { addForms(); }
    void everyControlHasAnAccessibleName() {
        QFETCH(QString, form);
        auto w = open(form);
        QStringList nameless;
        for (QWidget* c : w->findChildren<QWidget*>()) {
            const auto* label = qobject_cast<QLabel*>(c);
            const bool control = qobject_cast<QAbstractButton*>(c) || c->focusPolicy() != Qt::NoFocus ||
                                 !c->toolTip().isEmpty() || (label && !label->pixmap().isNull()) ||
                                 c->objectName() == QLatin1String("ClockSpin");
            if (!control)
                continue;
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(c);
            if (!face || face->text(QAccessible::Name).trimmed().isEmpty())
                nameless << nameOf(c);
        }
        QCOMPARE(nameless, QStringList());
    }

    // Each button of the main window has its own Alt key, and the view
    // buttons' keys do what the buttons do.
    void viewButtonsAnswerAltKeys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("view");
        QTest::addColumn<bool>("onTop");
        QTest::newRow("Alt+B") << int(Qt::Key_B) << 1 << false;
        QTest::newRow("Alt+M") << int(Qt::Key_M) << 3 << false;
        QTest::newRow("Alt+T") << int(Qt::Key_T) << 2 << false;
        QTest::newRow("Alt+O") << int(Qt::Key_O) << 0 << true;
    }
    void viewButtonsAnswerAltKeys() {
        QFETCH(int, key);
        QFETCH(int, view);
        QFETCH(bool, onTop);
        auto w = makeWindow();
        QMap<QKeySequence, QString> keys;
        for (QAbstractButton* b : w->findChildren<QAbstractButton*>()) {
            const QKeySequence alt = QKeySequence::mnemonic(b->text());
            if (alt.isEmpty())
                continue;
            QVERIFY2(!keys.contains(alt), qPrintable(b->text() + " and " + keys.value(alt)));
            keys.insert(alt, b->text());
        }
        for (const char* name : {"ShrinkToBoxButton", "MinimiseButton", "TaskBarButton", "StayOnTopButton"})
            QVERIFY(!QKeySequence::mnemonic(child<QAbstractButton>(*w, name)->text()).isEmpty());

        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(w.get(), Qt::Key(key), Qt::AltModifier);
        // The button is seen pressed for a moment first.
        QTRY_COMPARE(w->meter().windowMode(), view);
        QTRY_COMPARE(w->views().stayOnTop(), onTop);
    }
};

QTEST_MAIN(TestFormsFit)
#include "test_formsfit.moc"
