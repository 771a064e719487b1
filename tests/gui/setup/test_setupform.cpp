#include "core/seams/Services.h"
#include "core/settings/SettingsFile.h"
#include "fakes/FakeAutostart.h"
#include "fakes/FakeFileChooser.h"
#include "fakes/FakeHelpViewer.h"
#include "fakes/FakePrompter.h"
#include "fakes/FakeSoundPlayer.h"
#include "gui/setup/RateEditor.h"
#include "gui/setup/TSetupForm.h"
#include "gui/widgets/MaskedEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <unistd.h>

using Answer = Prompter::Answer;
Q_DECLARE_METATYPE(Answer)

namespace {

const QStringList Names = {"LocDay",  "LocEve", "locWend", "RegDay",  "RegEve", "RegWend", "NatDay", "NatEve",
                           "NatWend", "IntDay", "IntEve",  "IntWend", "Tax",    "Min",     "Conn",   "Disc"};
const QStringList Headers = {"DayHeader", "EveHeader", "WendHeader", "LocHeader", "RegHeader", "NatHeader",
                             "IntHeader", "TaxLabel",  "MinLabel",   "ConnLabel", "DiscLabel"};

// A rate record laid out by hand: per slot a length byte and five text bytes.
QByteArray record(const QStringList& texts) {
    QByteArray bytes;
    for (const QString& text : texts)
        bytes += char(text.size()) + text.toLatin1() + QByteArray(5 - text.size(), '\0');
    return bytes;
}

// Sixteen distinct values, each with its leading blank.
QStringList values(int base) {
    QStringList texts;
    for (int i = 0; i < 16; ++i)
        texts << QString::number(base + i * 0.25, 'f', 2).rightJustified(5, ' ');
    return texts;
}

} // namespace

class TestSetupForm : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    FakePrompter m_prompter;
    FakeFileChooser m_files;
    FakeHelpViewer m_help;
    FakeAutostart m_autostart;
    FakeSoundPlayer m_sound;
    Services m_services;
    std::unique_ptr<TSetupForm> m_form;

    QString path(const QString& name) const { return m_dir->filePath(name); }
    QByteArray bytes(const QString& name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void put(const QString& name, const QByteArray& data) {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(data);
    }
    void putSettings(const QString& active) {
        put("Dialtaly.ini", "[Telephone Rate Information]\r\nActiveRateFile=" + active.toLatin1() + "\r\n");
    }

    TSetupForm& open() {
        m_form = std::make_unique<TSetupForm>(m_services);
        m_form->show();
        m_form->findChild<QTabWidget*>("PageControl1")->setCurrentIndex(1);
        return *m_form;
    }
    template <class T = QWidget> T* child(const QString& name) const {
        T* found = m_form->findChild<T*>(name);
        if (!found)
            qFatal("no control %s", qPrintable(name));
        return found;
    }
    QPushButton* button(const QString& name) const { return child<QPushButton>(name); }
    QString text(const QString& name) const { return button(name)->text(); }
    QStringList buttonTexts() const {
        QStringList texts;
        for (const QString& name : Names)
            texts << text(name);
        return texts;
    }
    QScrollBar* bar() const { return child<QScrollBar>("DataChangeBar"); }
    MaskedEdit* box() const { return child<MaskedEdit>("DataEditBox"); }
    QComboBox* selector() const { return child<QComboBox>("RateNameSelectBox"); }
    QStringList selectorItems() const {
        QStringList items;
        for (int i = 0; i < selector()->count(); ++i)
            items << selector()->itemText(i);
        return items;
    }
    void choose(const QString& name) {
        const int index = selector()->findText(name);
        QVERIFY(index >= 0);
        selector()->setCurrentIndex(index);
        emit selector()->activated(index);
    }
    // Changes LocDay with the slider and finishes the edit.
    void editLocDay(int position) {
        button("LocDay")->click();
        bar()->setValue(position);
        button("ChangeDataOKButton")->click();
    }
    bool highlighted(const QString& name) const {
        return child<QLabel>(name)->palette().color(QPalette::Window) == Qt::red;
    }

private slots:
    void init() {
        m_form.reset();
        m_dir = std::make_unique<QTemporaryDir>();
        m_prompter = FakePrompter();
        m_files = FakeFileChooser();
        m_help = FakeHelpViewer();
        m_services = Services();
        m_services.programDirectory = m_dir->path();
        m_services.prompter = &m_prompter;
        m_services.files = &m_files;
        m_services.help = &m_help;
        m_autostart = FakeAutostart();
        m_services.autostart = &m_autostart;
        m_services.sound = &m_sound;
    }
    void cleanup() {
        m_form.reset();
        QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void opening_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("active"); // empty: no settings file
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QStringList>("errors");
        const QString notFound = "Active Rate File Not Found";
        QTest::newRow("active file listed") << QStringList{"Cable.dtr", "BT.dtr", "notes.txt", "Old.DTR"}
                                            << "Cable" << QStringList{"BT", "Cable"} << "Cable"
                                            << "Cable" << QStringList{};
        QTest::newRow("hidden file listed")
            << QStringList{".Spare.dtr", "BT.dtr"} << "BT" << QStringList{".Spare", "BT"} << "BT"
            << "BT" << QStringList{};
        // A file that is not there is said by the panels, without a box.
        QTest::newRow("no setting") << QStringList{"BT.dtr"} << "" << QStringList{"BT"} << "" << notFound
                                    << QStringList{};
        QTest::newRow("active file gone")
            << QStringList{"BT.dtr"} << "Gone" << QStringList{"BT"} << "" << notFound << QStringList{};
        QTest::newRow("no rate files")
            << QStringList{} << "BT" << QStringList{} << "" << notFound << QStringList{};
        QTest::newRow("no rate files, no setting")
            << QStringList{} << "" << QStringList{} << "" << notFound << QStringList{};
        // One that is there but cannot be read is an error.
        QTest::newRow("active file short")
            << QStringList{"BT.dtr", "Short.dtr"} << "Short" << QStringList{"BT", "Short"} << "Short"
            << "Short" << QStringList{"Dialtally Rate File \"Short.dtr\" Not Found"};
    }
    void opening() {
        QFETCH(QStringList, files);
        QFETCH(QString, active);
        QFETCH(QStringList, items);
        QFETCH(QString, selected);
        QFETCH(QString, shown);
        QFETCH(QStringList, errors);
        for (const QString& file : files)
            put(file, file.startsWith("Short") ? record(values(1)).left(95) : record(values(1)));
        if (!active.isEmpty())
            putSettings(active);
        open();
        QCOMPARE(m_form->windowTitle(), QString("Dialtally Configuration"));
        QCOMPARE(m_prompter.errors, errors);
        QCOMPARE(selectorItems(), items);
        QCOMPARE(selector()->currentText(), selected);
        QCOMPARE(selector()->placeholderText(), items.isEmpty() ? "No Dialtally Rate Files Found" : "");
        QCOMPARE(child<QLabel>("ShownRateNamePanel")->text(), shown);
        QCOMPARE(child<QLabel>("ActiveRateNamePanel")->text(), active.isEmpty() ? "ERROR" : active);
        QCOMPARE(buttonTexts(),
                 selected.isEmpty() || !errors.isEmpty() ? QStringList(16, "0.00") : values(1));
        QVERIFY(!m_form->RatesModified());
    }

    // At any font the dialog fits the screen with OK and Cancel in view; a page
    // without the room scrolls, and nothing on it is cut.
    void fitsTheScreenAtAnyFont_data() {
        QTest::addColumn<int>("points");
        QTest::addColumn<bool>("whole"); // all of it in view on a 1280 by 720 screen
        QTest::newRow("9 pt") << 9 << true;
        QTest::newRow("11 pt") << 11 << true;
        QTest::newRow("11 pt at 120 dots per inch") << 14 << true;
        QTest::newRow("very large") << 20 << false;
    }
    void fitsTheScreenAtAnyFont() {
        QFETCH(int, points);
        QFETCH(bool, whole);
        put("A.dtr", record(values(1)));
        putSettings("A");
        const QFont programFont = QApplication::font();
        const auto restore = qScopeGuard([&] {
            m_form.reset();
            QApplication::setFont(programFont);
        });
        QFont font = programFont;
        font.setPointSize(points);
        QApplication::setFont(font);
        open();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));

        const QRect screen = m_form->screen()->availableGeometry();
        QVERIFY(screen.contains(m_form->geometry()));
        // A window manager's frame takes some 40 pixels of the height.
        const QSize smallScreen(1280, 680);
        QVERIFY(m_form->minimumSizeHint().width() <= smallScreen.width() &&
                m_form->minimumSizeHint().height() <= smallScreen.height());
        if (whole)
            QVERIFY2(m_form->sizeHint().width() <= smallScreen.width() &&
                         m_form->sizeHint().height() <= smallScreen.height(),
                     qPrintable(QStringLiteral("%1 x %2")
                                    .arg(m_form->sizeHint().width())
                                    .arg(m_form->sizeHint().height())));
        auto* pages = child<QTabWidget>("PageControl1");
        for (int page = 0; page < pages->count(); ++page) {
            pages->setCurrentIndex(page);
            QCoreApplication::processEvents();
            for (const char* name : {"MainOKButton", "MainCancelButton"}) {
                QPushButton* b = button(name);
                QVERIFY(b->isVisible());
                QVERIFY(m_form->rect().contains(QRect(b->mapTo(m_form.get(), QPoint()), b->size())));
            }
            auto* area = qobject_cast<QScrollArea*>(pages->currentWidget());
            QVERIFY(area);
            const QWidget* content = area->widget();
            QVERIFY(content->height() >= content->minimumSizeHint().height());
            // What does not fit can be scrolled to.
            QCOMPARE(area->verticalScrollBar()->maximum(),
                     std::max(0, content->height() - area->viewport()->height()));
            for (const QWidget* control : content->findChildren<QWidget*>()) {
                const bool texted =
                    qobject_cast<const QLabel*>(control) || qobject_cast<const QAbstractButton*>(control);
                if (!control->isVisible() || !texted)
                    continue;
                QVERIFY2(control->width() >= control->minimumSizeHint().width(),
                         qPrintable(control->objectName() + ": " + control->property("text").toString()));
            }
        }
    }

    void selectorCutsLongNames() {
        const QString longName = QString(60, 'x');
        put(longName + ".dtr", record(values(2)));
        put("A.dtr", record(values(1)));
        putSettings("A");
        open();
        QCOMPARE(selectorItems(), QStringList({"A", QString(46, 'x')}));
        choose(QString(46, 'x'));
        QCOMPARE(m_prompter.errors, QStringList());
        QCOMPARE(m_form->ShownRateName(), longName);
        QCOMPARE(buttonTexts(), values(2));
    }

    void pressingHighlights_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("lit");
        QTest::newRow("local daytime") << "LocDay" << QStringList{"DayHeader", "LocHeader"};
        QTest::newRow("international weekend") << "IntWend" << QStringList{"WendHeader", "IntHeader"};
        QTest::newRow("regional evening") << "RegEve" << QStringList{"EveHeader", "RegHeader"};
        QTest::newRow("tax") << "Tax" << QStringList{"TaxLabel"};
        QTest::newRow("discount") << "Disc" << QStringList{"DiscLabel"};
    }
    void pressingHighlights() {
        QFETCH(QString, name);
        QFETCH(QStringList, lit);
        put("A.dtr", record(values(7)));
        putSettings("A");
        open();
        const QString value = text(name);
        button(name)->click();
        QStringList shownLit;
        for (const QString& header : Headers)
            if (highlighted(header))
                shownLit << header;
        QCOMPARE(shownLit, lit);
        QCOMPARE(bar()->value(), qRound(value.toDouble() * 100));
        QCOMPARE(box()->value(), value);
        QVERIFY(child<QWidget>("DataBarPanel")->isVisible());
        QVERIFY(!child<QWidget>("MainButtonPanel")->isVisible());
        QVERIFY(!selector()->isVisible());
        // Moving the edit to another value lifts the first button.
        button("Min")->click();
        QVERIFY(!button(name)->isChecked() || name == "Min");
        QCOMPARE(highlighted("MinLabel"), true);
    }

    void sliderEdit() {
        put("A.dtr", record(values(1)));
        putSettings("A");
        open();
        auto* timer = child<QTimer>("FlashPanelTimer");
        button("NatEve")->click();
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 700);
        auto* editor = child<RateEditor>("RateEditor");
        auto* left = child<QWidget>("FlashPanelLeft");
        editor->FlashPanelTimerTimer();
        QVERIFY(left->isHidden() && child<QWidget>("FlashPanelRight")->isHidden());
        editor->FlashPanelTimerTimer();
        QVERIFY(!left->isHidden());

        bar()->setValue(bar()->maximum());
        QCOMPARE(text("NatEve"), QString("99.99"));
        bar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(text("NatEve"), QString("99.98"));
        bar()->triggerAction(QAbstractSlider::SliderPageStepSub);
        QCOMPARE(text("NatEve"), QString("99.48"));
        bar()->setValue(525);
        QCOMPARE(box()->value(), QString(" 5.25"));
        QCOMPARE(text("NatEve"), QString(" 5.25"));
        button("ChangeDataOKButton")->click();
        QVERIFY(m_form->RatesModified());
        QVERIFY(!timer->isActive());
        QVERIFY(!button("NatEve")->isChecked());
        QVERIFY(child<QWidget>("MainButtonPanel")->isVisible());
        QVERIFY(selector()->isVisible());
    }

    void finishingMarksOnlyRealChanges_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("modified");
        QTest::newRow("canonical text") << " 5.00" << false;
        QTest::newRow("without its blank") << "5.00" << true;
        QTest::newRow("beyond the range") << "150" << true;
    }
    void finishingMarksOnlyRealChanges() {
        QFETCH(QString, stored);
        QFETCH(bool, modified);
        QStringList texts = values(1);
        texts[0] = stored;
        put("A.dtr", record(texts));
        putSettings("A");
        open();
        button("LocDay")->click();
        button("LocDay")->click(); // pressing the down button finishes too
        QCOMPARE(m_form->RatesModified(), modified);
        QVERIFY(!child<QWidget>("DataBarPanel")->isVisible());
    }

    void entryBox() {
        put("A.dtr", record(values(1)));
        putSettings("A");
        open();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        button("IntDay")->click();
        const QString before = text("IntDay");
        box()->setFocus();
        QVERIFY(m_form->RatesModified()); // entering the box counts as a change
        QVERIFY(button("DataEditBoxTick")->isEnabled());

        box()->selectAll();
        QTest::keyClick(box(), Qt::Key_Delete);
        bar()->setFocus();
        QCoreApplication::processEvents();
        QCOMPARE(m_prompter.errors, QStringList{MaskedEdit::RefusalText});
        QCOMPARE(m_prompter.beeps, 1);
        QVERIFY(box()->hasFocus());
        QCOMPARE(text("IntDay"), before);
        QTest::keyClick(box(), Qt::Key_Escape);
        QCOMPARE(box()->value(), before);

        box()->selectAll();
        QTest::keyClicks(box(), "7.5");
        button("DataEditBoxTick")->click();
        QCOMPARE(text("IntDay"), QString(" 7.50"));
        QCOMPARE(bar()->value(), 750);
        QVERIFY(!button("DataEditBoxTick")->isEnabled());
        QCOMPARE(m_prompter.errors.size(), 1);
    }

    void saveWritesTheRecord() {
        put("A.dtr", record(values(10)));
        putSettings("A");
        open();
        editLocDay(750);
        button("SaveButton")->click();
        QStringList expected = values(10);
        expected[0] = " 7.50";
        const QByteArray saved = bytes("A.dtr");
        QCOMPARE(saved.size(), 96);
        QCOMPARE(saved.left(6), QByteArray::fromHex("0520372e3530"));
        QCOMPARE(saved, record(expected));
        QVERIFY(!m_form->RatesModified());
    }

    // Setup by keyboard alone: the Call Charges page in the order it is laid
    // out; a value changed with an arrow and Escape (as Cancel), then typed
    // and Enter (applied); Alt+S saves and the starter's note goes; on Main
    // Setup Alt keys do what clicks do, a time off the clock is told and
    // reset; Escape leaves the dialog as Cancel.
    void setupByKeyboard() {
        put("A.dtr", record(values(1)));
        put("Dialtaly.ini", "[Telephone Rate Information]\nActiveRateFile=A\nPricesNeeded=A\n");
        open().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        const QList<QAbstractButton*> buttons = m_form->findChildren<QAbstractButton*>();
        const auto press = [&](const char* keys) {
            QTest::keySequence(QApplication::focusWidget(), QKeySequence(QLatin1String(keys)));
            // A button's Alt key clicks it a moment later, as it is seen to.
            QTRY_VERIFY(std::none_of(buttons.cbegin(), buttons.cend(), [](auto* b) { return b->isDown(); }));
        };
        const auto focus = [] { return QApplication::focusWidget()->objectName(); };
        QVERIFY(child("PricesNeededNote")->isVisible());
        press("Alt+R");
        const QStringList order = QStringList{"RateNameSelectBox", "UseRateButton",       "SaveButton",
                                              "SaveAsButton",      "DeleteButton",        "MainOKButton",
                                              "MainCancelButton",  "qt_tabwidget_tabbar", "HelpForRates"} +
                                  Names;
        for (const QString& name : order) {
            QCOMPARE(focus(), name);
            if (name != order.last())
                press("Tab");
        }
        press("Tab"); // the billing rules follow the rates
        QVERIFY(child("BillingGroup")->isAncestorOf(QApplication::focusWidget()));
        press("Shift+Tab");
        QCOMPARE(focus(), QStringLiteral("Disc"));
        press("Space");
        QVERIFY(child("MainButtonPanel")->isHidden());
        QCOMPARE(focus(), QStringLiteral("DataChangeBar"));
        press("Right");
        QCOMPARE(text("Disc"), QStringLiteral(" 4.76"));
        press("Escape");
        QVERIFY(!child("MainButtonPanel")->isHidden());
        QCOMPARE(text("Disc"), values(1).last());
        QVERIFY(!m_form->RatesModified());
        QCOMPARE(focus(), QStringLiteral("Disc"));
        press("Space");
        press("Tab");
        QCOMPARE(focus(), QStringLiteral("DataEditBox"));
        QTest::keyClicks(QApplication::focusWidget(), "7");
        press("Return");
        QVERIFY(!child("MainButtonPanel")->isHidden());
        QCOMPARE(text("Disc"), QStringLiteral(" 7.00"));
        press("Alt+S");
        QCOMPARE(bytes("A.dtr").right(6), QByteArray("\x05 7.00"));
        QVERIFY(!child("PricesNeededNote")->isVisible());
        QCOMPARE(SettingsFile(path("Dialtaly.ini"))
                     .ReadSettingString("Telephone Rate Information", "PricesNeeded", "absent"),
                 QString());

        press("Ctrl+Tab");
        press("Alt+D");
        QCOMPARE(focus(), QStringLiteral("DayTimeStart"));
        press("Ctrl+A");
        QTest::keyClicks(QApplication::focusWidget(), "25:99");
        press("Tab");
        QCOMPARE(focus(), QStringLiteral("DayTimeEnd"));
        QCOMPARE(child<MaskedEdit>("DayTimeStart")->text(), QStringLiteral("12:00"));
        QVERIFY(m_prompter.errors.isEmpty()); // told from the event loop
        QTRY_COMPARE(m_prompter.errors, QStringList{"Not A Valid Time"});
        QVERIFY(!child("DeviceToSenseBox")->isEnabled());
        press("Alt+C");
        QVERIFY(child<QAbstractButton>("Auto16bitRadioButton")->isChecked());
        QVERIFY(child("DeviceToSenseBox")->isEnabled());
        press("Alt+S");
        QCOMPARE(focus(), QStringLiteral("DeviceToSenseBox"));
        press("Escape");
        QVERIFY(!m_form->isVisible());
        QCOMPARE(m_form->result(), int(QDialog::Rejected));
    }

    void saveAs_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("shown");
        QTest::newRow("new name") << "Night.dtr"
                                  << "Night.dtr"
                                  << "Night";
        QTest::newRow("extension added") << "Night"
                                         << "Night.dtr"
                                         << "Night";
        QTest::newRow("cancelled") << ""
                                   << ""
                                   << "A";
        // As the desktop's own dialog could give it: refused, with a word on why.
        QTest::newRow("a name the log would cut") << "Kingston Communications Evening.dtr"
                                                  << ""
                                                  << "A";
    }
    void saveAs() {
        QFETCH(QString, chosen);
        QFETCH(QString, written);
        QFETCH(QString, shown);
        put("A.dtr", record(values(1)));
        putSettings("A");
        open();
        editLocDay(1234);
        m_files.nextPaths << (chosen.isEmpty() ? QString() : path(chosen));
        button("SaveAsButton")->click();
        QCOMPARE(m_files.captions, QStringList{"Save Rates File As..."});
        QCOMPARE(m_files.filters, QStringList{"Dialtally Rate File (*.dtr)"});
        QCOMPARE(m_files.directories, QStringList{m_dir->path()});
        QCOMPARE(m_form->ShownRateName(), shown);
        QCOMPARE(selector()->currentText(), shown);
        QCOMPARE(m_form->RatesModified(), written.isEmpty());
        QCOMPARE(bytes("A.dtr"), record(values(1)));
        if (!written.isEmpty())
            QCOMPARE(bytes(written).left(6), QByteArray::fromHex("0531322e3334"));
        QCOMPARE(QDir(m_dir->path()).entryList({"*.dtr"}).size(), written.isEmpty() ? 1 : 2);
        QCOMPARE(m_prompter.errors.size(), written.isEmpty() && !chosen.isEmpty() ? 1 : 0);
    }

    // A new file saved where the meter looks takes the place of an active file
    // that is missing, in the settings at once; a working one stays active.
    void saveAsReplacesAMissingActiveFile_data() {
        QTest::addColumn<QString>("active"); // empty: no setting
        QTest::addColumn<QString>("chosen"); // relative to the program directory
        QTest::addColumn<QString>("afterwards");
        QTest::addColumn<QString>("stored");
        QTest::newRow("no setting") << ""
                                    << "Mine.dtr"
                                    << "Mine"
                                    << "Mine";
        QTest::newRow("active file gone") << "Gone"
                                          << "Mine.dtr"
                                          << "Mine"
                                          << "Mine";
        QTest::newRow("active file short") << "Short"
                                           << "Mine.dtr"
                                           << "Mine"
                                           << "Mine";
        QTest::newRow("active file there") << "A"
                                           << "Mine.dtr"
                                           << "A"
                                           << "A";
        QTest::newRow("saved elsewhere") << "Gone"
                                         << "sub/Mine.dtr"
                                         << "Gone"
                                         << "Gone";
    }
    void saveAsReplacesAMissingActiveFile() {
        QFETCH(QString, active);
        QFETCH(QString, chosen);
        QFETCH(QString, afterwards);
        QFETCH(QString, stored);
        put("A.dtr", record(values(1)));
        put("Short.dtr", record(values(1)).left(95));
        QVERIFY(QDir(m_dir->path()).mkdir("sub"));
        if (!active.isEmpty())
            putSettings(active);
        open();
        m_prompter.clear();
        editLocDay(450);
        m_files.nextPaths << path(chosen);
        button("SaveAsButton")->click();
        QCOMPARE(m_prompter.errors, QStringList{});
        QCOMPARE(m_form->ActiveRateName(), afterwards);
        QCOMPARE(child<QLabel>("ActiveRateNamePanel")->text(), afterwards);
        const SettingsFile settings(path("Dialtaly.ini"));
        QCOMPARE(settings.ReadSettingString("Telephone Rate Information", "ActiveRateFile", ""), stored);
        // Cancel does not take it back: the file it names is written.
        button("MainCancelButton")->click();
        QCOMPARE(settings.ReadSettingString("Telephone Rate Information", "ActiveRateFile", ""), stored);
    }

    // "BT.2024" becomes "BT.2024.dtr", a name the file dialog never checked.
    void saveAsAskedBeforeReplacingTheNameWritten_data() {
        QTest::addColumn<Answer>("answer");
        QTest::newRow("replace") << Answer::Yes;
        QTest::newRow("keep") << Answer::No;
    }
    void saveAsAskedBeforeReplacingTheNameWritten() {
        QFETCH(Answer, answer);
        put("A.dtr", record(values(1)));
        put("BT.2024.dtr", record(values(2)));
        putSettings("A");
        open();
        editLocDay(1234);
        m_prompter.answers = {answer};
        m_files.nextPaths << path("BT.2024");
        button("SaveAsButton")->click();
        QCOMPARE(m_prompter.questions,
                 QStringList{"BT.2024.dtr already exists.\nDo you want to replace it?"});
        const bool replaced = answer == Answer::Yes;
        QCOMPARE(bytes("BT.2024.dtr") == record(values(2)), !replaced);
        QCOMPARE(m_form->ShownRateName(), replaced ? "BT.2024" : "A");
        QCOMPARE(m_form->RatesModified(), !replaced);
    }

    void saveWithNoFileShownAsksForAName_data() {
        QTest::addColumn<QString>("chosen");
        QTest::newRow("name given") << "Mine.dtr";
        QTest::newRow("cancelled") << "";
    }
    void saveWithNoFileShownAsksForAName() {
        QFETCH(QString, chosen);
        put("A.dtr", record(values(1)));
        open(); // no setting: nothing shown
        QCOMPARE(m_form->ShownRateName(), QString("Active Rate File Not Found"));
        editLocDay(300);
        m_files.nextPaths << (chosen.isEmpty() ? QString() : path(chosen));
        button("SaveButton")->click();
        QCOMPARE(m_files.captions, QStringList{"Save Rates File As..."});
        QVERIFY(!QFile::exists(path("Active Rate File Not Found.dtr")));
        QCOMPARE(QFile::exists(path("Mine.dtr")), !chosen.isEmpty());
        QCOMPARE(m_form->RatesModified(), chosen.isEmpty());
    }

    void failedWriteKeepsTheChanges_data() {
        QTest::addColumn<bool>("readOnlyDirectory");
        QTest::newRow("read-only directory") << true;
        QTest::newRow("directory in the way") << false;
    }
    void failedWriteKeepsTheChanges() {
        QFETCH(bool, readOnlyDirectory);
        if (readOnlyDirectory && geteuid() == 0)
            QSKIP("permissions do not bind the superuser");
        put("A.dtr", record(values(1)));
        putSettings("A");
        open();
        editLocDay(300);
        if (readOnlyDirectory) {
            QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::ExeOwner);
        } else {
            QVERIFY(QFile::remove(path("A.dtr")));
            QVERIFY(QDir(m_dir->path()).mkdir("A.dtr"));
        }
        button("SaveButton")->click();
        QCOMPARE(m_prompter.errors.size(), 1);
        QVERIFY(m_prompter.errors[0].contains(path("A.dtr")));
        QVERIFY(m_form->RatesModified());
        // The same through OK's question: the dialog stays open.
        m_prompter.answers = {Answer::Yes};
        button("MainCancelButton")->click();
        QVERIFY(m_form->isVisible());
        QVERIFY(m_form->RatesModified());
        if (readOnlyDirectory)
            QCOMPARE(bytes("A.dtr"), record(values(1)));
    }

    void deleteShowsTheFirstRemaining_data() {
        QTest::addColumn<Answer>("answer");
        QTest::newRow("yes") << Answer::Yes;
        QTest::newRow("no") << Answer::No;
    }
    // The list is sorted by name whatever the case, which also decides the file
    // that takes the deleted one's place.
    void deleteShowsTheFirstRemaining() {
        QFETCH(Answer, answer);
        put("zebra.dtr", record(values(1)));
        put("BT.dtr", record(values(2)));
        put("apple2.dtr", record(values(3)));
        put("Apple.dtr", record(values(4)));
        putSettings("Apple");
        open();
        m_prompter.answers = {answer};
        button("DeleteButton")->click();
        QCOMPARE(m_prompter.questions,
                 QStringList{"Do you really want to delete the Dialtally Rate File \"Apple\"?"});
        const bool yes = answer == Answer::Yes;
        QCOMPARE(QFile::exists(path("Apple.dtr")), !yes);
        QCOMPARE(selectorItems(), yes ? QStringList({"apple2", "BT", "zebra"})
                                      : QStringList({"Apple", "apple2", "BT", "zebra"}));
        QCOMPARE(selector()->currentText(), yes ? "apple2" : "Apple");
        QCOMPARE(m_form->ShownRateName(), yes ? "apple2" : "Apple");
        QCOMPARE(m_form->ActiveRateName(), yes ? "apple2" : "Apple");
        QCOMPARE(buttonTexts(), yes ? values(3) : values(4));
    }

    void deletingTheLastFileLeavesNothingShown() {
        put("A.dtr", record(values(1)));
        putSettings("A");
        open();
        button("DeleteButton")->click();
        QCOMPARE(selector()->count(), 0);
        QCOMPARE(selector()->placeholderText(), QString("No Dialtally Rate Files Found"));
        QCOMPARE(m_form->ShownRateName(), QString());
        QCOMPARE(m_form->ActiveRateName(), QString());
    }

    // The Billing group shows the rate file's rules; what the user changes
    // there is saved with the rate file, copied by Save As and deleted with it.
    void billingRulesGoWithTheRateFile() {
        put("A.dtr", record(values(1)));
        put("A.billing", "[Billing]\nFirstBlock=60\nNextBlock=1\nRoundUpTo=0.125\n"
                         "[Free Minutes]\nMinutes=100\nBands=Evening, Weekend\n");
        putSettings("A");
        open();
        auto* blocks = child<QComboBox>("BlocksBox");
        QCOMPARE(blocks->currentText(), QString("first minute then per second"));
        QVERIFY(!child<QCheckBox>("FreeDaytime")->isChecked() &&
                child<QCheckBox>("FreeWeekend")->isChecked());
        QVERIFY(!m_form->RatesModified());

        blocks->setCurrentIndex(2);
        emit blocks->activated(2);
        QCOMPARE(child<QSpinBox>("FirstBlockBox")->value(), 60);
        QCOMPARE(child<QSpinBox>("NextBlockBox")->value(), 60);
        QVERIFY(m_form->RatesModified());
        // Easter Friday once, however often it is pressed.
        button("EasterFridayButton")->click();
        button("EasterFridayButton")->click();
        button("EasterMondayButton")->click();
        QCOMPARE(child<QLineEdit>("HolidaysBox")->text(), QString("Easter-2, Easter+1"));
        button("SaveButton")->click();
        QVERIFY(!m_form->RatesModified());
        // 0.125 pence, shown as 0.125 and never touched, is kept to the last digit.
        const QByteArray written = "[Billing]\nFirstBlock=60\nNextBlock=60\nRoundUpTo=0.125\nCapPerCall=\n\n"
                                   "[Holidays]\nDates=Easter-2, Easter+1\n\n"
                                   "[Free Minutes]\nMinutes=100\nBands=Evening, Weekend\n";
        QCOMPARE(bytes("A.billing"), written);

        m_files.nextPaths << path("B.dtr");
        button("SaveAsButton")->click();
        QCOMPARE(bytes("B.billing"), written);
        m_prompter.answers = {Answer::Yes};
        button("DeleteButton")->click();
        QVERIFY(!QFile::exists(path("B.dtr")) && !QFile::exists(path("B.billing")));
        QCOMPARE(bytes("A.billing"), written);
    }

    void billingRulesThatCannotBeSaved_data() {
        QTest::addColumn<QByteArray>("file");    // A.billing as found
        QTest::addColumn<QString>("holidays");   // typed over the list; empty: not typed
        QTest::addColumn<QString>("problem");    // what the group says
        QTest::addColumn<QStringList>("errors"); // on Save
        QTest::newRow("unreadable file") << QByteArray("[Free Minutes]\nBands=Night\n") << QString()
                                         << "\"Night\" is not a time band" << QStringList{};
        QTest::newRow("a holiday that is no date")
            << QByteArray() << "12-25, 13-45"
            << "Holidays: \"13-45\" is not a date"
            << QStringList{"The billing rules cannot be saved.\nHolidays: \"13-45\" is not a date (MM-DD, "
                           "YYYY-MM-DD or Easter\u00b1N days)"};
    }
    // A rules file that cannot be read is never replaced unseen; rules that
    // are not rules are never saved.
    void billingRulesThatCannotBeSaved() {
        QFETCH(QByteArray, file);
        QFETCH(QString, holidays);
        QFETCH(QString, problem);
        QFETCH(QStringList, errors);
        put("A.dtr", record(values(1)));
        if (!file.isEmpty())
            put("A.billing", file);
        putSettings("A");
        open();
        if (!holidays.isEmpty()) {
            child<QLineEdit>("HolidaysBox")->setFocus();
            QTest::keyClicks(child<QLineEdit>("HolidaysBox"), holidays);
        }
        QVERIFY(child<QLabel>("BillingProblem")->isVisible());
        QVERIFY2(child<QLabel>("BillingProblem")->text().contains(problem),
                 qPrintable(child<QLabel>("BillingProblem")->text()));
        QCOMPARE(child<QComboBox>("BlocksBox")->isEnabled(), holidays.size() > 0);
        editLocDay(750);
        button("SaveButton")->click();
        QCOMPARE(m_prompter.errors, errors);
        QCOMPARE(m_form->RatesModified(), !errors.isEmpty());
        QCOMPARE(QFile::exists(path("A.billing")), !file.isEmpty());
        QCOMPARE(bytes("A.billing"), file);
    }

    void choosingAfterAnEdit_data() {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("saved");
        QTest::newRow("yes") << Answer::Yes << "B" << true;
        QTest::newRow("no") << Answer::No << "B" << false;
        QTest::newRow("cancel") << Answer::Cancel << "A" << false;
    }
    void choosingAfterAnEdit() {
        QFETCH(Answer, answer);
        QFETCH(QString, shown);
        QFETCH(bool, saved);
        put("A.dtr", record(values(1)));
        put("B.dtr", record(values(2)));
        putSettings("A");
        open();
        editLocDay(4000);
        m_prompter.answers = {answer};
        choose("B");
        QCOMPARE(m_prompter.questions, QStringList{"Do you want to Save the changes to \"A\"?"});
        QCOMPARE(m_form->ShownRateName(), shown);
        QCOMPARE(selector()->currentText(), shown);
        QCOMPARE(bytes("A.dtr").left(6),
                 saved ? QByteArray::fromHex("0534302e3030") : record(values(1)).left(6));
        QCOMPARE(m_form->RatesModified(), answer == Answer::Cancel);
        QCOMPARE(text("LocDay"), shown == "B" ? values(2)[0] : QString("40.00"));
    }

    void useRateReachesTheSettingsOnOk() {
        put("A.dtr", record(values(1)));
        put("B.dtr", record(values(2)));
        putSettings("A");
        open();
        choose("B");
        QCOMPARE(m_form->ActiveRateName(), QString("A"));
        button("UseRateButton")->click();
        QCOMPARE(child<QLabel>("ActiveRateNamePanel")->text(), QString("B"));
        button("MainOKButton")->click();
        QVERIFY(!m_form->isVisible());
        QCOMPARE(m_form->result(), int(QDialog::Accepted));
        const QList<QByteArray> lines = bytes("Dialtaly.ini").split('\n');
        QCOMPARE(lines.value(0).trimmed(), QByteArray("[Telephone Rate Information]"));
        QCOMPARE(lines.value(1).trimmed(), QByteArray("ActiveRateFile=B"));
        QVERIFY(lines.value(2).startsWith("DayTimeStart=")); // then the Main Setup page's keys
    }

    void closingWithUnsavedRates_data() {
        QTest::addColumn<QString>("closer");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("saved");
        for (const char* closer : {"MainOKButton", "MainCancelButton"}) {
            QTest::addRow("%s yes", closer) << QString(closer) << Answer::Yes << true << true;
            QTest::addRow("%s no", closer) << QString(closer) << Answer::No << true << false;
            QTest::addRow("%s cancel", closer) << QString(closer) << Answer::Cancel << false << false;
        }
    }
    void closingWithUnsavedRates() {
        QFETCH(QString, closer);
        QFETCH(Answer, answer);
        QFETCH(bool, closes);
        QFETCH(bool, saved);
        put("A.dtr", record(values(1)));
        put("B.dtr", record(values(2)));
        putSettings("A");
        open();
        choose("B");
        button("UseRateButton")->click();
        editLocDay(825);
        m_prompter.answers = {answer};
        button(closer)->click();
        QCOMPARE(m_prompter.questions, QStringList{"Do you want to Save the changes to \"B\"?"});
        QCOMPARE(m_form->isVisible(), !closes);
        if (closes)
            QCOMPARE(m_form->result(), int(closer == "MainOKButton" ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(bytes("B.dtr").left(6),
                 saved ? QByteArray::fromHex("0520382e3235") : record(values(2)).left(6));
        // OK writes the settings first, whatever the answer; Cancel never does.
        QCOMPARE(bytes("Dialtaly.ini").contains("ActiveRateFile=B"), closer == "MainOKButton");
    }

    void settingsThatCannotBeWrittenKeepTheDialogOpen() {
        put("A.dtr", record(values(1)));
        QVERIFY(QDir(m_dir->path()).mkdir("Dialtaly.ini"));
        open();
        m_prompter.clear();
        button("MainOKButton")->click();
        QCOMPARE(m_prompter.errors.size(), 1);
        QVERIFY(m_prompter.errors[0].startsWith("Unable to write to " + path("Dialtaly.ini") + "\n"));
        QVERIFY(m_form->isVisible());
    }

    void keyboardAndWindowClose_data() {
        QTest::addColumn<int>("key"); // 0: the window is closed
        QTest::addColumn<bool>("editing");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<int>("result");
        QTest::newRow("enter") << int(Qt::Key_Return) << false << true << int(QDialog::Accepted);
        QTest::newRow("escape") << int(Qt::Key_Escape) << false << true << int(QDialog::Rejected);
        QTest::newRow("escape while editing") << int(Qt::Key_Escape) << true << false << 0;
        QTest::newRow("enter while editing") << int(Qt::Key_Return) << true << false << 0;
        QTest::newRow("window closed") << 0 << false << true << int(QDialog::Rejected);
    }
    void keyboardAndWindowClose() {
        QFETCH(int, key);
        QFETCH(bool, editing);
        QFETCH(bool, closes);
        QFETCH(int, result);
        put("A.dtr", record(values(1)));
        putSettings("A");
        open();
        if (editing)
            button("Tax")->click();
        if (key)
            QTest::keyClick(m_form.get(), Qt::Key(key));
        else
            m_form->close();
        QCOMPARE(m_form->isVisible(), !closes);
        if (closes)
            QCOMPARE(m_form->result(), result);
        else if (key == Qt::Key_Return)
            QVERIFY(!button("Tax")->isChecked()); // Enter finished the edit
    }

    void pageSwitchShowsTheDialogButtons() {
        put("A.dtr", record(values(1)));
        putSettings("A");
        open();
        button("LocDay")->click();
        auto* pages = child<QTabWidget>("PageControl1");
        pages->setCurrentIndex(0);
        QVERIFY(child<QWidget>("MainButtonPanel")->isVisible());
        pages->setCurrentIndex(1);
        QVERIFY(child<QWidget>("MainButtonPanel")->isVisible());
        QVERIFY(child<QWidget>("DataBarPanel")->isVisible());
        child<QPushButton>("HelpForRates")->click();
        QCOMPARE(m_help.topics, QList<int>{7});
    }

    // The Numbers page: a starter table filled in, a number tried, a name
    // added; OK writes the plan and the book, or says what cannot be read and
    // shows it, writing neither.
    void numbersPage_data() {
        QTest::addColumn<QString>("rules"); // typed after the German starter table; none: as it is
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("error");
        QTest::newRow("written") << ""
                                 << "0800 123"
                                 << "";
        QTest::newRow("a rule that cannot be read")
            << "0171 Mobile"
            << "0800 123"
            << "Number plan: \"Mobile\" is not Local, Regional, National or International.";
        QTest::newRow("a name for no number")
            << ""
            << "0800 FLOWERS"
            << "Address book: \"0800 FLOWERS\" is not a number: use digits, * and #, with + "
               "only at the start, at most 31 of them.";
    }
    void numbersPage() {
        QFETCH(QString, rules);
        QFETCH(QString, number);
        QFETCH(QString, error);
        put("A.dtr", record(values(1)));
        putSettings("A");
        open();
        auto* pages = child<QTabWidget>("PageControl1");
        pages->setCurrentIndex(0);
        child<QComboBox>("StarterTableBox")->setCurrentText("Germany");
        button("StarterTableButton")->click();
        child<QLineEdit>("AreaCodeBox")->setText("030");
        const std::pair<const char*, const char*> tries[] = {
            {"+49 30 1234567", "Local"}, {"0049 171 1234567", "National"}, {"+33 1 2345", "International"}};
        for (auto [tried, distance] : tries) {
            child<QLineEdit>("TryNumberBox")->setText(tried);
            QCOMPARE(child<QLabel>("TryNumberResult")->text(), QString(distance));
        }
        if (!rules.isEmpty())
            child<QPlainTextEdit>("RulesBox")->appendPlainText(rules);
        button("AddEntryButton")->click();
        auto* book = child<QTableWidget>("AddressBookTable");
        book->item(0, 0)->setText(number);
        book->item(0, 1)->setText("Freephone");
        m_prompter.clear();
        button("MainOKButton")->click();
        QCOMPARE(m_prompter.errors, error.isEmpty() ? QStringList() : QStringList{error});
        QCOMPARE(m_form->isVisible(), !error.isEmpty());
        if (!error.isEmpty()) {
            QCOMPARE(pages->tabText(pages->currentIndex()), QString("Numbers"));
            QVERIFY(!bytes("Dialtaly.ini").contains("[Number Plan]"));
            QVERIFY(!QFile::exists(path("AddressBook.txt")));
            return;
        }
        const SettingsFile settings(path("Dialtaly.ini"));
        QCOMPARE(settings.ReadSettingString("Number Plan", "CountryCode", {}), QString("49"));
        QCOMPARE(settings.ReadSettingString("Number Plan", "AreaCode", {}), QString("030"));
        QVERIFY(settings.ReadSettingString("Number Plan", "Rules", {})
                    .startsWith("00 International, 015 National"));
        QVERIFY(bytes("AddressBook.txt").endsWith("\n0800123=Freephone\n"));
    }
};

QTEST_MAIN(TestSetupForm)
#include "test_setupform.moc"
