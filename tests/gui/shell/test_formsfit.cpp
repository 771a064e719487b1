// The main window, the small box and the shell's fixed forms at the program's
// own type and at larger ones: their drawn sizes, texts that fit and do not
// overlap, the meter's figures that never move the window, accessible names
// and the view buttons' Alt keys.
#include "core/calllog/CallLog.h"
#include "gui/meter/LargeFormFixture.h"
#include "gui/setup/TSetupForm.h"
#include "gui/spending/TSpendingForm.h"
#include "gui/viewer/TDataForm.h"

#include "fakes/SampleCall.h"

#include "gui/shell/TAboutForm.h"
#include "gui/shell/TPortSetupForm.h"
#include "gui/shell/TTariffForm.h"
#include "gui/shell/TTitleForm.h"
#include "gui/shell/TWelcomeForm.h"
#include "gui/shell/WindowModes.h"

#include <QAccessible>
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTableView>

using Step = std::function<void(QWidget&)>;
Q_DECLARE_METATYPE(Step)

namespace {
const char* const Defaults = "Default Setup Information";

QString nameOf(const QWidget* w) {
    return w->objectName() + QStringLiteral(" \"%1\"").arg(w->property("text").toString());
}

// The about box's pictures slide over its texts on purpose.
bool slides(const QWidget* w) {
    return w->objectName().startsWith(QLatin1String("Slide"));
}

// The room a control's text (and a button's picture) needs, and the room it has.
std::pair<QSize, QSize> textRoom(QWidget* w) {
    auto* button = qobject_cast<QPushButton*>(w);
    if (!button) {
        auto* label = qobject_cast<QLabel*>(w);
        if (label && label->wordWrap())
            return {QSize(0, label->heightForWidth(w->width())), w->size()};
        // A text meant to be cut rather than widen the window (a long rate name).
        if (w->sizePolicy().horizontalPolicy() == QSizePolicy::Ignored)
            return {QSize(0, w->sizeHint().height()), w->size()};
        return {label ? w->sizeHint() : w->minimumSizeHint().expandedTo(w->sizeHint()), w->size()};
    }
    QStyleOptionButton option;
    option.initFrom(button);
    option.features = button->isDefault() ? QStyleOptionButton::DefaultButton : QStyleOptionButton::None;
    const QFontMetrics metrics = button->fontMetrics();
    QSize need(metrics.horizontalAdvance(button->text().remove(QLatin1Char('&'))), metrics.height());
    if (!button->icon().isNull())
        need = QSize(need.width() + button->iconSize().width() + 4,
                     std::max(need.height(), button->iconSize().height()));
    return {need, button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).size()};
}

// Everything on show in form whose text is cut, that sticks out of its
// parent or that lies over another text or control.
QString unfit(QWidget& form) {
    QStringList found;
    QList<QWidget*> texts;
    for (QWidget* w : form.findChildren<QWidget*>()) {
        if (w->isWindow() || !w->isVisibleTo(&form) || slides(w))
            continue;
        if (!w->parentWidget()->rect().contains(w->geometry()))
            found << nameOf(w) + QStringLiteral(" sticks out of its parent");
        if (!qobject_cast<QLabel*>(w) && !qobject_cast<QAbstractButton*>(w) && !qobject_cast<QGroupBox*>(w))
            continue;
        const auto [need, has] = textRoom(w);
        if (need.width() > has.width() || need.height() > has.height())
            found << nameOf(w) + QStringLiteral(" cut: %1 of %2").arg(has.width()).arg(need.width());
        if (qobject_cast<QGroupBox*>(w))
            continue;
        for (QWidget* other : texts)
            if (other->parentWidget() == w->parentWidget() && other->geometry().intersects(w->geometry()))
                found << nameOf(w) + QStringLiteral(" lies over ") + nameOf(other);
        texts << w;
    }
    return found.join(QStringLiteral("; "));
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
        else if (form == QLatin1String("call charges page"))
            w = std::make_unique<TTariffForm>(services);
        else if (form == QLatin1String("viewer"))
            w = std::make_unique<TDataForm>(services);
        else if (form == QLatin1String("Spending window"))
            w = std::make_unique<TSpendingForm>(services);
        else if (form == QLatin1String("setup dialog"))
            w = std::make_unique<TSetupForm>(services);
        else
            w = std::make_unique<TAboutForm>(services);
        w->show();
        return w;
    }
private slots:
    void init() { reset(); }

    // At the program's own type a form has the size it was drawn at; at any
    // type its texts fit.
    void formsFitTheirTexts_data() {
        QTest::addColumn<QString>("form");
        QTest::addColumn<double>("points");
        QTest::addColumn<QSize>("drawn");
        const QList<std::pair<const char*, QSize>> forms = {
            {"main window", QSize(511, 303)}, {"small box", QSize(146, 77)},
            {"splash", QSize(405, 287)},      {"wizard", QSize()},
            {"port chooser", QSize()},        {"about box", QSize(271, 179)},
            {"call charges page", QSize()}};
        for (const auto& [form, drawn] : forms)
            for (double points : {9.0, 11.0, 16.0})
                QTest::addRow("%s, %g points", form, points)
                    << QString::fromLatin1(form) << points << (points == 9 ? drawn : QSize());
    }
    void formsFitTheirTexts() {
        QFETCH(QString, form);
        QFETCH(double, points);
        QFETCH(QSize, drawn);
        const FontForTheTest type(points);
        auto w = open(form);
        if (drawn.isValid())
            QCOMPARE(w->size(), drawn);
        QCOMPARE(unfit(*w), QString());
    }

    // The figures of a day-long call, the indicators and the manual band
    // appear in room kept for them: nothing on show moves or resizes.
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
        QCOMPARE(text(*w, "Distance"), QStringLiteral("International"));
        QCOMPARE(unfit(*w), QString());
        child<QAbstractButton>(*w, "StartStopButton")->click();
        finishSweep(*w);
        child<QCheckBox>(*w, "AutoTimeSense")->click();
        QCoreApplication::processEvents();
        QCOMPARE(text(*w, "MinChargeLight"), QStringLiteral("Previous Call"));
        QCOMPARE(w->size(), normal);
        for (auto place = places.begin(); place != places.end(); ++place)
            QVERIFY2(place.key()->geometry() == place.value(), qPrintable(nameOf(place.key())));
    }

    // A new type while the window is on show (the desktop's font changed).
    void typeChangedWhileShown() {
        auto w = makeWindow();
        const QSize before = w->size();
        {
            const FontForTheTest type(16);
            QTRY_VERIFY(w->width() > before.width() && w->height() > before.height());
            QCOMPARE(unfit(*w), QString());
        }
        QTRY_COMPARE(w->size(), before);
    }

    // What a screen reader says for every control, picture and thing with a hint.
    void everyControlHasAnAccessibleName_data() {
        QTest::addColumn<QString>("form");
        for (const char* form : {"main window", "small box", "splash", "wizard", "port chooser", "about box",
                                 "call charges page"})
            QTest::newRow(form) << QString::fromLatin1(form);
    }
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
            else if (face->text(QAccessible::Description) == face->text(QAccessible::Name))
                nameless << nameOf(c) + QStringLiteral(" is described by its name");
        }
        QCOMPARE(nameless.join(", "), QString());
    }

    // A control that shows a value is said by what it shows, after the value
    // changes too; one without a text of its own by a fixed name, an entry by
    // its caption. No description repeats the name.
    void aScreenReaderSaysWhatIsShown_data() {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("control");
        QTest::addColumn<Step>("change");
        QTest::addColumn<QString>("fixedName"); // none: what the control shows
        const Step logged = [this](QWidget& w) {
            auto& meter = static_cast<TLargeForm&>(w).meter();
            meter.StartTiming(true);
            clock.advance(20 * 60000);
            meter.MainTimerTimer();
            meter.StopTiming(true);
            finishSweep(static_cast<TLargeForm&>(w));
        };
        const Step selectTwo = [](QWidget& w) { child<QTableView>(w, "DataBank")->selectAll(); };
        const Step deleteTwo = [selectTwo](QWidget& w) {
            selectTwo(w), child<QPushButton>(w, "DeleteSelectedRecords")->click();
        };
        const Step sort = [](QWidget& w) { child<QAction>(w, "CostIncDesc")->trigger(); };
        const Step slide = [](QWidget& w) {
            child<QPushButton>(w, "LocDay")->click(), child<QScrollBar>(w, "DataChangeBar")->setValue(150);
        };
        const auto row = [](const char* form, const char* control, const Step& change,
                            const char* name = "") {
            QTest::addRow("%s, %s", form, control) << form << control << change << QString(name);
        };
        row("main window", "GrossCost", logged);
        row("main window", "BudgetLine", logged);
        row("main window", "ClockSpin", logged, "Clock");
        row("viewer", "TotalCostLabel", deleteTwo);
        row("viewer", "SelectedAmount", selectTwo);
        row("viewer", "SortOrder", sort);
        row("viewer", "LargeDownArrow", sort, "Descending");
        row("Spending window", "BudgetLine", {});
        row("setup dialog", "LocDay", slide);
        row("setup dialog", "DataEditBox", slide, "Local Daytime rate (Pence per minute)");
        row("setup dialog", "DataEditBoxTick", slide, "Apply");
        row("setup dialog", "SpendLimitEdit", {}, "Spend Limit");
        row("setup dialog", "StartPlayButton", {}, "Preview");
    }
    void aScreenReaderSaysWhatIsShown() {
        QFETCH(QString, form);
        QFETCH(QString, control);
        QFETCH(Step, change);
        QFETCH(QString, fixedName);
        QVERIFY(CallLog(path(QStringLiteral("Calls.log")))
                    .append({sampleCall(wednesday(9, 0), 0.5f), sampleCall(wednesday(9, 30), 0.25f)}));
        set("Budget", "BudgetOn", QStringLiteral("1"));
        auto w = open(form);
        auto* c = child<QWidget>(*w, control.toLatin1().constData());
        const auto shown = [c] { return c->property("text").toString().remove(QLatin1Char('&')); };
        const QString before = shown();
        if (change)
            change(*w);
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(c);
        const QString name = face->text(QAccessible::Name);
        QVERIFY(!fixedName.isEmpty() || (!shown().isEmpty() && (!change || shown() != before)));
        QCOMPARE(name, fixedName.isEmpty() ? shown() : fixedName);
        QVERIFY(face->text(QAccessible::Description) != name);
    }

    // The view buttons' Alt keys do what the buttons do; a key that another
    // button of the window also had would only move the focus between them.
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
