// The call log viewer driven through its controls.
#include "core/calllog/CallLog.h"
#include "core/calllog/RateNameStore.h"
#include "core/seams/DayCount.h"
#include "core/settings/ProgramFiles.h"
#include "core/settings/SettingsFile.h"
#include "core/storage/AtomicFile.h"
#include "core/storage/TextCodec.h"
#include "core/tariff/RateFile.h"
#include "gui/viewer/TDataForm.h"
#include "gui/viewer/TProgressForm.h"
#include "gui/widgets/QtPrompter.h"

#include "fakes/FakeClock.h"
#include "fakes/FakeFileChooser.h"
#include "fakes/FakeHelpViewer.h"
#include "fakes/FakePrompter.h"
#include "fakes/FileSizeLimit.h"
#include "fakes/SampleCall.h"
#include "gui/meter/LargeFormFixture.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <numeric>
#include <optional>

namespace {
QDateTime at(int month, int d, int h = 12) {
    return QDateTime(QDate(2026, month, d), QTime(h, 0));
}

struct PaintCount : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        return (count += event->type() == QEvent::Paint) < 0;
    }
};
} // namespace

class TestDataForm : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeClock m_clock;
    FakePrompter m_prompter;
    FakeHelpViewer m_help;
    FakeFileChooser m_files;
    Services m_services;
    std::unique_ptr<TDataForm> m_form;

    CallLog log() const { return CallLog(ProgramFiles::callLogPath(m_dir->path())); }
    void open() {
        m_form = std::make_unique<TDataForm>(m_services);
        m_form->show();
    }
    template <typename T> T* find(const char* name) const {
        T* found = m_form->findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("no %s", name);
        return found;
    }
    QAction* action(const char* name) const { return find<QAction>(name); }
    QTableView* grid() const { return find<QTableView>("DataBank"); }
    QString label(const char* name) const { return find<QLabel>(name)->text(); }
    QStringList headers() const {
        QStringList texts;
        for (int i = 0; i < grid()->model()->columnCount(); ++i)
            texts << grid()->model()->headerData(i, Qt::Horizontal).toString();
        return texts;
    }
    QString cell(int row, int column) const { return grid()->model()->index(row, column).data().toString(); }
    QStringList column(int gridColumn) const {
        QStringList texts;
        for (int row = 0; row < grid()->model()->rowCount(); ++row)
            texts << cell(row, gridColumn);
        return texts;
    }
    void select(int top, int bottom) const {
        QAbstractItemModel* model = grid()->model();
        grid()->selectionModel()->select(QItemSelection(model->index(top, 0), model->index(bottom, 0)),
                                         QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    void enterGrid(Qt::FocusReason reason = Qt::MouseFocusReason) const {
        QFocusEvent focus(QEvent::FocusIn, reason);
        QApplication::sendEvent(grid(), &focus);
    }
    void doubleClickHeader(int gridColumn) const {
        QHeaderView* header = grid()->horizontalHeader();
        QTest::mouseDClick(header->viewport(), Qt::LeftButton, {},
                           QPoint(header->sectionViewportPosition(gridColumn) + 5, header->height() / 2));
    }
    QString sortPanel() const {
        return label("TopSortLabel") + "/" + label("SortOrder") + "/" + label("BottomSortLabel") +
               (find<QLabel>("SmallUpArrow")->isVisibleTo(m_form.get()) ? " up" : " down");
    }
    // Costs 0.10, 0.50, 0.20, 0.40, 0.30 on 1..5 December.
    void fiveCalls() const {
        const float costs[] = {0.1f, 0.5f, 0.2f, 0.4f, 0.3f};
        for (int i = 0; i < 5; ++i)
            QVERIFY(log().append({sampleCall(at(12, 1 + i), costs[i], 1 + i)}));
    }
    QStringList loggedCosts() const {
        QStringList costs;
        for (const CallRecord& r : log().readAll())
            costs << QString::number(r.grossCost);
        return costs;
    }

private slots:
    void init() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        m_dir = std::make_unique<QTemporaryDir>();
        m_prompter = FakePrompter();
        m_clock.set(at(12, 9)); // a Wednesday
        m_services = Services();
        m_services.programDirectory = m_dir->path();
        m_services.clock = &m_clock;
        m_services.prompter = &m_prompter;
        m_services.help = &m_help;
        m_files = FakeFileChooser();
        m_services.files = &m_files;
    }
    void cleanup() { m_form.reset(); }

    void anEmptyLog() {
        QVERIFY(log().append({}));
        open();
        QCOMPARE(cell(0, 0), QStringLiteral("No Calls"));
        enterGrid();
        QVERIFY(!find<QWidget>("SelectedRecordsPanel")->isVisible());
        find<QPushButton>("SortButton")->click();
        find<QPushButton>("SelectButton")->click();
        QCOMPARE(m_prompter.errors,
                 (QStringList{"No calls found in data file!", "No calls found in data file"}));
        find<QPushButton>("HelpBtn")->click();
        QCOMPARE(m_help.topics, QList<int>{8});
    }

    void columnsHiddenShownMovedAndKept() {
        fiveCalls();
        open();
        QHeaderView* header = grid()->horizontalHeader();
        header->resizeSection(0, 177); // Date, as the user drags it
        action("ShowDateColumn")->trigger();
        QCOMPARE(headers().first(), QStringLiteral("Day"));

        header->moveSection(5, 1); // Cost inc Tax dragged next to Day
        QCOMPARE(headers().mid(0, 4), (QStringList{"Day", "Cost inc Tax", "Start Time", "End Time"}));
        QCOMPARE(cell(0, 1), QStringLiteral("\u00a30.10"));
        QCOMPARE(header->visualIndex(1), 1); // the grid's own order is the table's

        m_form->close(); // and again
        open();
        QVERIFY(!action("ShowDateColumn")->isChecked());
        QCOMPARE(headers().mid(0, 2), (QStringList{"Day", "Cost inc Tax"}));
        action("ShowDateColumn")->trigger(); // back at its kept place, with its width
        QCOMPARE(headers().first(), QStringLiteral("Date"));
        QCOMPARE(grid()->horizontalHeader()->sectionSize(0), 177);

        for (const char* name :
             {"ShowDayColumn", "ShowStartColumn", "ShowEndColumn", "ShowDurationColumn", "ShowCostExcColumn",
              "ShowCostIncColumn", "showTypeColumn", "ShowDistanceColumn"})
            action(name)->trigger();
        action("ShowRateColumn")->trigger();
        QCOMPARE(headers(), QStringList{"Date"});
        QVERIFY(!action("ShowDateColumn")->isEnabled()); // the last one cannot go

        action("ResetColumns")->trigger();
        QCOMPARE(headers().size(), 10);
        QVERIFY(grid()->horizontalHeader()->sectionSize(0) < 177);
        QVERIFY(action("ShowDateColumn")->isEnabled());
        m_form->close();
        QCOMPARE(SettingsFile(ProgramFiles::settingsPath(m_dir->path()))
                     .ReadSettingInteger(QStringLiteral("Data Viewer Defaults"),
                                         QStringLiteral("StartTimeWidth"), 0),
                 55);
    }

    // Every column as wide as its header and its widest text, whatever the
    // font, the locale's dates and the widths stored for a smaller font; the
    // last one takes the spare width, which is not stored.
    void columnsFitTheirTexts_data() {
        QTest::addColumn<int>("pointSize");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("storedWidth"); // of every column; 0 for none
        QTest::newRow("the design's widths") << 9 << "en_GB" << 0;
        QTest::newRow("a large font") << 15 << "en_GB" << 0;
        QTest::newRow("dates of a dozen letters") << 11 << "sk_SK" << 0;
        QTest::newRow("narrow widths stored") << 11 << "en_GB" << 10;
    }
    void columnsFitTheirTexts() {
        QFETCH(int, pointSize);
        QFETCH(QString, locale);
        QFETCH(int, storedWidth);
        const QFont font = QApplication::font();
        const auto restore = qScopeGuard([font] { QApplication::setFont(font); });
        QFont larger = font;
        larger.setPointSize(pointSize);
        QApplication::setFont(larger);
        QLocale::setDefault(QLocale(locale));
        const quint16 rate = RateNameStore(ProgramFiles::rateNameStorePath(m_dir->path()))
                                 .RateNameKeyFor(QStringLiteral("Evenings and weekends, unlimited"));
        CallRecord longest = sampleCall(at(10, 26, 8), 12345.67f, 12, rate);
        longest.duration = 0.999; // 23:58:33
        QVERIFY(log().append({sampleCall(at(12, 2), 0.1f, 1, rate), longest}));
        const SettingsFile settings(ProgramFiles::settingsPath(m_dir->path()));
        if (storedWidth) {
            for (const char* key :
                 {"DateWidth", "DayWidth", "StartTimeWidth", "EndTimeWidth", "DurationWidth",
                  "CostExcTaxWidth", "CostIncTaxWidth", "TypeOfCallWidth", "DistanceWidth", "RateWidth"})
                QVERIFY(settings.WriteSettingInteger("Data Viewer Defaults", key, storedWidth));
        }
        open();
        QCOMPARE(grid()->fontInfo().pointSize(), pointSize); // the desktop's font
        const QHeaderView* header = grid()->horizontalHeader();
        const QStyle* style = grid()->style();
        const int cellMargins = 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid()) + 1);
        const int headerMargins = 2 * style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        for (int i = 0; i < header->count(); ++i) {
            QStringList texts = column(i);
            const int least =
                std::accumulate(texts.begin(), texts.end(), 0, [this](int most, const QString& text) {
                    return std::max(most, grid()->fontMetrics().horizontalAdvance(text));
                });
            const QString title = headers()[i];
            QVERIFY2(header->sectionSize(i) >= least + cellMargins, qPrintable(title));
            QVERIFY2(header->sectionSize(i) >= header->fontMetrics().horizontalAdvance(title) + headerMargins,
                     qPrintable(title));
        }
        QVERIFY(column(0).contains(QLocale().toString(QDate(2026, 10, 26), QLocale::ShortFormat)));

        const int last = header->count() - 1;
        const int width = header->sectionSize(last);
        m_form->resize(m_form->width() + header->length() + 300,
                       m_form->height()); // maximised, a wide screen
        QCOMPARE(header->length(), grid()->viewport()->width());
        QVERIFY(header->sectionSize(last) >= width + 300);
        m_form->close();
        QCOMPARE(settings.ReadSettingInteger("Data Viewer Defaults", "RateWidth", 0),
                 storedWidth ? storedWidth : 130);
    }

    // A width the user gives a column stands while the viewer is open, and is
    // stored; the next opening makes room for the texts again.
    void aColumnTheUserNarrowsStaysSoWhileTheViewerIsOpen() {
        fiveCalls();
        open();
        grid()->horizontalHeader()->resizeSection(1, 20); // Day, as the user drags it
        action("ShowDateColumn")->trigger();              // the grid is made again
        QCOMPARE(headers().first(), QStringLiteral("Day"));
        QCOMPARE(grid()->horizontalHeader()->sectionSize(0), 20);
        m_form->close();
        QCOMPARE(SettingsFile(ProgramFiles::settingsPath(m_dir->path()))
                     .ReadSettingInteger("Data Viewer Defaults", "DayWidth", 0),
                 20);
        open();
        QVERIFY(grid()->horizontalHeader()->sectionSize(0) >=
                grid()->fontMetrics().horizontalAdvance("Wednesday"));
    }

    // The arrows take the text's colour; the texts fit the panel at any font.
    void theSortPanelFollowsThePaletteAndTheFont() {
        const QFont font = QApplication::font();
        const auto restore = qScopeGuard([font] { QApplication::setFont(font); });
        QFont larger = font;
        larger.setPointSize(16);
        QApplication::setFont(larger);
        fiveCalls();
        open();
        QPalette dark = m_form->palette();
        dark.setColor(QPalette::Window, QColor(30, 30, 30));
        dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
        m_form->setPalette(dark);
        for (const char* name : {"LargeUpArrow", "SmallDownArrow"}) {
            const QImage arrow = find<QLabel>(name)->pixmap().toImage();
            QCOMPARE(arrow.pixelColor(arrow.width() / 2, arrow.height() / 2), QColor(230, 230, 230));
        }
        for (const char* sort :
             {"DateDesc", "StartAsc", "CostIncAsc", "TypeDesc", "DistanceDesc", "RateAsc"}) {
            action(sort)->trigger();
            for (const char* name : {"TopSortLabel", "SortOrder", "BottomSortLabel"}) {
                const QLabel* label = find<QLabel>(name);
                QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(label->text()));
                QVERIFY2(label->sizeHint().height() <= label->height(), qPrintable(label->text()));
            }
        }
    }

    // What a screen reader says of each control, and Alt letters that lead to one place each.
    void everyControlHasANameAndItsOwnAltLetter() {
        fiveCalls();
        open();
        select(0, 0); // the selection panel too
        auto* progress = m_form->findChild<TProgressForm*>();
        progress->WithProgress("Sorting..", "Sorting Records...");
        QList<QWidget*> controls = m_form->findChildren<QWidget*>();
        controls << m_form.get();
        for (QWidget* control : std::as_const(controls)) {
            if (!control->isVisible())
                continue;
            bool inner = false; // the parts of the grid, the menus and the scroll bars
            for (QWidget* w = control->parentWidget(); w && w != m_form.get(); w = w->parentWidget())
                inner = inner || qobject_cast<QAbstractScrollArea*>(w) || qobject_cast<QMenuBar*>(w);
            if (inner || qobject_cast<QMenu*>(control) || control->objectName().startsWith("qt_"))
                continue;
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
            QVERIFY2(
                accessible && !accessible->text(QAccessible::Name).isEmpty(),
                qPrintable(control->metaObject()->className() + QStringLiteral(" ") + control->objectName()));
        }

        const auto letters = [](const QList<QAction*>& actions, const QList<QPushButton*>& buttons) {
            QStringList found;
            for (QAction* a : actions)
                found << a->text();
            for (QPushButton* b : buttons)
                found << b->text();
            for (QString& text : found)
                text = text.contains('&') ? text.mid(text.indexOf('&') + 1, 1).toLower() : QString();
            return found;
        };
        QStringList window =
            letters(find<QMenuBar>("MainMenu")->actions(), m_form->findChildren<QPushButton*>());
        QVERIFY(!window.contains(QString()));
        QCOMPARE(window.size(), 6); // two menus, four buttons
        QCOMPARE(window.removeDuplicates(), 0);
        progress->hideProgress();
        for (QMenu* menu : m_form->findChildren<QMenu*>()) {
            QStringList items = letters(menu->actions(), {});
            items.removeAll(QString());
            QCOMPARE(items.removeDuplicates(), 0);
        }
    }

    void sortingCommandsAndTheToggleRule() {
        fiveCalls();
        open();
        QCOMPARE(sortPanel(), QStringLiteral("Oldest/Date/Newest up"));
        doubleClickHeader(0); // the opening order counts as date ascending
        QCOMPARE(sortPanel(), QStringLiteral("Newest/Date/Oldest down"));
        QCOMPARE(column(6).first(), QStringLiteral("\u00a30.30"));

        doubleClickHeader(6);
        QCOMPARE(sortPanel(), QStringLiteral("Least/Cost inc Tax/Most up"));
        QCOMPARE(column(6).first(), QStringLiteral("\u00a30.10"));
        doubleClickHeader(6);
        QCOMPARE(column(6).first(), QStringLiteral("\u00a30.50"));

        action("DateDesc")->trigger();
        action("DateDesc")->trigger(); // already descending: still descending
        QCOMPARE(sortPanel(), QStringLiteral("Newest/Date/Oldest down"));
        action("DistanceAsc")->trigger();
        QCOMPARE(sortPanel(), QStringLiteral("Shortest/Distance/Furthest up"));
        QCOMPARE(column(8).first(), QStringLiteral("Local"));

        find<QTableView>("DataBank")
            ->customContextMenuRequested(QPoint(grid()->columnViewportPosition(7) + 3, 5));
        action("SortColDescend")->trigger();
        QCOMPARE(sortPanel(), QStringLiteral("Nearest 'Z'/Call Type/Nearest 'A' down"));
        action("sortcolAscend")->trigger();
        QCOMPARE(sortPanel(), QStringLiteral("Nearest 'A'/Call Type/Nearest 'Z' up"));
        action("HideColumn")->trigger();
        QVERIFY(!action("showTypeColumn")->isChecked());

        find<QPushButton>("SortButton")->click();
        QVERIFY(!find<QMenu>("TypeOrder")->isEnabled());
        QVERIFY(find<QMenu>("RateOrder")->isEnabled());
        QVERIFY(m_prompter.all().isEmpty());
    }

    void periodSelections() {
        fiveCalls();
        QVERIFY(log().append(
            {sampleCall(at(12, 7, 9), 1.25f), sampleCall(at(12, 9, 8), 0.75f)})); // Monday, today
        open();
        action("CostIncDesc")->trigger();
        action("PastWeek")->trigger(); // re-sorted by date, then from Monday on
        QCOMPARE(sortPanel(), QStringLiteral("Oldest/Date/Newest up"));
        QCOMPARE(m_form->selectedRows(), (std::pair<int, int>{5, 6}));
        QVERIFY(find<QWidget>("SelectedRecordsPanel")->isVisible());
        QCOMPARE(label("SelectedAmount"), QStringLiteral("2 Calls selected totalling \u00a32.00"));
        QVERIFY(find<QLabel>("SelectionNotice")->isVisible());
        m_form->FlashTimerTimer();
        QVERIFY(!find<QLabel>("SelectionNotice")->isVisible()); // blinking
        m_form->FlashTimerTimer();
        m_form->InfoOffTimerTimer();
        QVERIFY(!find<QLabel>("SelectionNotice")->isVisible());

        m_clock.set(at(12, 10));
        action("Today")->trigger();
        QCOMPARE(m_prompter.warnings, QStringList{"No calls today found"});
        QCOMPARE(m_form->selectedRows(), (std::pair<int, int>{5, 6})); // unchanged

        action("SelectNone")->trigger();
        enterGrid(Qt::PopupFocusReason); // the menu hands the focus back: no selection for that
        QVERIFY(!find<QWidget>("SelectedRecordsPanel")->isVisible());
        action("ShowCostIncColumn")->trigger();
        action("SelectAll")->trigger();
        QCOMPARE(label("SelectedAmount"), QStringLiteral("7 Calls selected"));
        action("ShowDateColumn")->trigger();
        find<QPushButton>("SelectButton")->click();
        QCOMPARE(m_prompter.informations,
                 QStringList{"Date column must be visible (In Show Columns menu) for this action"});
    }

    void deletingInFileOrderAndInASortedView() {
        fiveCalls();
        open();
        QTest::keyClick(grid(), Qt::Key_Delete); // the selection panel is hidden: nothing
        QVERIFY(m_prompter.questions.isEmpty());
        select(1, 1);
        QTest::keyClick(grid(), Qt::Key_Delete);
        QCOMPARE(m_prompter.questions, QStringList{"Are You Sure that you want to delete this call?"});
        QCOMPARE(m_prompter.details, QStringList{"1 call will be removed from the call log."});
        QCOMPARE(m_prompter.defaults, QList{Prompter::Answer::No});
        QCOMPARE(loggedCosts(), (QStringList{"0.1", "0.2", "0.4", "0.3"}));
        QVERIFY(!find<QWidget>("SelectedRecordsPanel")->isVisible());

        action("CostIncDesc")->trigger();
        action("SelectAll")->trigger();
        select(0, 1);
        m_prompter.answers = {Prompter::Answer::No};
        find<QPushButton>("DeleteSelectedRecords")->click();
        QCOMPARE(m_prompter.questions.last(),
                 QStringLiteral("Are You Sure that you want to delete these calls?"));
        QCOMPARE(m_prompter.details.last(), QStringLiteral("2 calls will be removed from the call log."));
        QCOMPARE(loggedCosts().size(), 4);
        // A call ends while the question waits; it is not lost.
        m_prompter.whileOpen = [this] { QVERIFY(log().append({sampleCall(at(12, 9), 0.9f)})); };
        QTest::keyClick(find<QPushButton>("SelectButton"), Qt::Key_Delete);
        QCOMPARE(loggedCosts(), (QStringList{"0.1", "0.2", "0.9"}));
        QCOMPARE(column(6), (QStringList{"\u00a30.90", "\u00a30.20", "\u00a30.10"})); // sorted as before
        QCOMPARE(label("TotalCostLabel"), QStringLiteral("\u00a31.20 spent in 3 calls."));
        QVERIFY(m_prompter.errors.isEmpty());
    }

    // What the grid highlights is what the selection counts, exports and deletes.
    void whatIsHighlightedIsActedOn_data() {
        QTest::addColumn<QStringList>("clicks"); // rows, with shift or ctrl; "below" the rows; "none"
        QTest::newRow("a range") << QStringList{"1", "shift 3"};
        QTest::newRow("ctrl+click") << QStringList{"1", "shift 3", "ctrl 2"};
        QTest::newRow("below the rows") << QStringList{"4", "below"};
        QTest::newRow("select none") << QStringList{"2", "none"};
    }
    void whatIsHighlightedIsActedOn() {
        QFETCH(QStringList, clicks);
        fiveCalls();
        QStringList kept = loggedCosts();
        open();
        for (const QString& click : clicks) {
            const QModelIndex cell = grid()->model()->index(click.back().digitValue(), 1);
            const auto modifier = click.startsWith("shift")  ? Qt::ShiftModifier
                                  : click.startsWith("ctrl") ? Qt::ControlModifier
                                                             : Qt::NoModifier;
            if (click == "none")
                action("SelectNone")->trigger();
            else
                QTest::mouseClick(grid()->viewport(), Qt::LeftButton, modifier,
                                  cell.isValid() ? grid()->visualRect(cell).center()
                                                 : QPoint(10, grid()->viewport()->height() - 3));
        }
        int count = 0;
        for (int row = 4; row >= 0; --row) {
            if (grid()->selectionModel()->isRowSelected(row) && ++count)
                kept.removeAt(row);
        }
        QCOMPARE(find<QWidget>("SelectedRecordsPanel")->isVisible(), count > 0);
        m_files.nextPaths = QStringList{m_dir->filePath("selected.txt")};
        action("ExportSelected")->trigger();
        QFile exported(m_dir->filePath("selected.txt"));
        QCOMPARE(exported.open(QIODevice::ReadOnly) ? exported.readAll().count("\r\n") : 0,
                 count ? 5 + 3 + count + 1 : 0);
        QCOMPARE(m_prompter.warnings, count ? QStringList() : QStringList{"No calls selected"});
        QTest::keyClick(grid(), Qt::Key_Delete);
        QCOMPARE(loggedCosts(), kept);
        QCOMPARE(m_prompter.beeps, count ? 0 : 1);
    }

    // A period takes exactly its calls, wherever they stand in the log; a sorted
    // copy that cannot be written stops it.
    void aPeriodTakesExactlyItsCalls_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QDate>("firstDay"); // today is Wednesday 9 December 2026
        QTest::addColumn<QString>("before");
        QTest::newRow("today") << "Today" << QDate(2026, 12, 9) << "";
        QTest::newRow("week") << "PastWeek" << QDate(2026, 12, 7) << "";
        QTest::newRow("week, sorted by cost") << "PastWeek" << QDate(2026, 12, 7) << "by cost";
        QTest::newRow("month") << "Selectmonth" << QDate(2026, 12, 1) << "";
        QTest::newRow("year") << "PastYear" << QDate(2026, 1, 1) << "";
        QTest::newRow("sorted copy unwritable")
            << "PastWeek" << QDate(2100, 1, 1) << "unwritable"; // none goes
    }
    void aPeriodTakesExactlyItsCalls() {
        QFETCH(QString, command);
        QFETCH(QDate, firstDay);
        QFETCH(QString, before);
        // Calls over 400 days up to a week ahead (a clock set wrong), in no order, one of them today.
        QRandomGenerator random(15);
        QStringList older;
        for (int i = 0; i < 150; ++i) {
            const QDate day =
                i == 75 ? QDate(2026, 12, 9) : QDate(2026, 12, 16).addDays(-random.bounded(400));
            const CallRecord call =
                sampleCall(QDateTime(day, QTime(random.bounded(24), 30)), 0.01f * float(i + 1));
            QVERIFY(log().append({call}));
            if (day < firstDay)
                older << QString::number(call.grossCost);
        }
        open();
        if (!before.isEmpty())
            action("CostIncDesc")->trigger();
        const QString sortLog = ProgramFiles::path(m_dir->path(), ProgramFiles::SortName);
        if (before == "unwritable")
            QVERIFY(QFile::remove(sortLog) && QDir().mkdir(sortLog));
        action(command.toLatin1())->trigger();
        find<QPushButton>("DeleteSelectedRecords")->click();
        QStringList left = loggedCosts();
        left.sort();
        older.sort();
        QCOMPARE(left, older);
        QCOMPARE(m_prompter.errors.size(), int(before == "unwritable"));
        if (before == "unwritable")
            QVERIFY(m_prompter.errors.first().contains(QDir::toNativeSeparators(sortLog)));
    }

    void theProgressWindowIsDrawnBeforeTheWork() {
        TProgressForm progress;
        PaintCount text;
        progress.findChild<QLabel*>("SideLabel")->installEventFilter(&text);
        progress.WithProgress(QStringLiteral("Sorting.."), QStringLiteral("Sorting Records..."));
        QVERIFY(text.count > 0);

        // What runs while it is being mapped neither loses a call nor closes the viewer under the work.
        fiveCalls();
        open();
        select(1, 1);
        bool ran = false;
        m_prompter.whileOpen = [&] {
            QTimer::singleShot(0, this, [&] {
                ran = log().append({sampleCall(at(12, 9), 0.9f)}); // the meter logs a call
                m_form->close();
            });
        };
        QTest::keyClick(grid(), Qt::Key_Delete);
        QVERIFY(ran);
        QCOMPARE(loggedCosts(), (QStringList{"0.1", "0.2", "0.4", "0.3", "0.9"}));
        QVERIFY(m_form->isVisible());
    }

    void exportingAndPrinting() {
        for (int i = 0; i < 150; ++i)
            QVERIFY(log().append({sampleCall(at(11, 1 + i / 10, i % 10), 0.1f)}));
        open();
        const auto lines = [this](const char* name) {
            QFile file(m_dir->filePath(QLatin1String(name)));
            return file.open(QIODevice::ReadOnly)
                       ? TextCodec::decode(file.readAll()).remove(u'\uFEFF').split("\r\n")
                       : QStringList();
        };
        m_files.nextPaths = QStringList{m_dir->filePath("calls")};
        m_files.chosenFilter = 0;
        action("ExportAll")->trigger();
        QCOMPARE(m_files.captions, QStringList{"Export Call Log File.."});
        QCOMPARE(m_files.filters,
                 QStringList{"Comma-separated values (*.csv);;Excel Compatible File (*.prn);;"
                             "Text File (*.txt);;Any File (*.*)"});
        const QString titles = "Date,Day,Start Time,End Time,Duration (s),Cost exc Tax (\u00a3),"
                               "Cost inc Tax (\u00a3),Type Of Call,Distance,Rate";
        QStringList comma = lines("calls.csv");
        QCOMPARE(comma.mid(0, 2),
                 (QStringList{titles, "2026-11-01,Sunday,00:00:00,00:14:24,864,0.05,0.10,Daytime,Local,"}));
        QCOMPARE(comma.size(), 1 + 150 + 1);

        select(2, 3); // the dialog asked about "calls", not about "calls.csv"
        m_files.nextPaths = QStringList{m_dir->filePath("calls")};
        m_prompter.answers = {Prompter::Answer::No};
        action("ExportSelected")->trigger();
        QVERIFY(m_prompter.questions.last().endsWith("already exists.\nDo you want to replace it?"));
        QCOMPARE(lines("calls.csv"), comma);
        m_files.nextPaths = QStringList{m_dir->filePath("selected"), m_dir->filePath("Selected.CSV")};
        m_files.chosenFilter = -1; // the text entry it opens on
        action("ExportSelected")->trigger();
        QCOMPARE(lines("selected.txt").mid(2, 2), (QStringList{"Contains A Selection of Calls Only.",
                                                               "2 Calls selected totalling \u00a30.20"}));
        QCOMPARE(lines("selected.txt").size(), 5 + 3 + 2 + 1 + 1);
        action("ExportSelected")->trigger(); // a selection's spreadsheet file has its titles too
        QCOMPARE(lines("Selected.CSV"), (QStringList{titles, comma[3], comma[4], ""}));

        const QString pdf = m_dir->filePath("calls.pdf");
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        m_form->PrintCalls(0, 149, false, printer);
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        QProcess text;
        text.start("pdftotext", {pdf, "-"});
        QVERIFY(text.waitForFinished());
        QStringList pages = QString::fromUtf8(text.readAllStandardOutput()).split('\f', Qt::SkipEmptyParts);
        QCOMPARE(pages.size(), 3);
        for (int i = 0; i < pages.size(); ++i) {
            QVERIFY(pages[i].startsWith(
                "Dialtally Pro v1.0 Call log Printout\nCreated On 09/12/2026 at 12:00:00.\n"
                "Contains All Calls.\n\u00a315.00 spent in 150 calls."));
            QVERIFY(pages[i].contains(QStringLiteral("Page %1").arg(i + 1)));
        }
    }

    // Ctrl+T prices the calls the selection panel tells of, else the whole log,
    // with every rate file; the one in use is marked, a broken one told of.
    void comparingTariffs() {
        fiveCalls(); // 14.4 minutes each
        const auto rates = [this](const char* name, const QString& perMinute, const QString& tax) {
            RateTable table;
            table.texts.fill(QStringLiteral("0.00"));
            for (int slot = 1; slot <= 12; ++slot)
                table.slot(slot) = perMinute;
            table.slot(TaxSlot) = tax;
            QVERIFY(writeRateFile(ProgramFiles::rateFilePath(m_dir->path(), QLatin1String(name)), table));
        };
        rates("Cheap", QStringLiteral(" 1.00"), QStringLiteral(" 0.00"));
        rates("Dear", QStringLiteral("10.00"), QStringLiteral("20.00"));
        QFile broken(ProgramFiles::rateFilePath(m_dir->path(), QStringLiteral("Broken")));
        QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write(QByteArray(95, '\0')) == 95);
        broken.close();
        QVERIFY(SettingsFile(ProgramFiles::settingsPath(m_dir->path()))
                    .WriteSettingString(QStringLiteral("Telephone Rate Information"),
                                        QStringLiteral("ActiveRateFile"), QStringLiteral("Dear")));
        open();

        QStringList shown;
        const auto compare = [&] {
            shown.clear();
            QApplication::setActiveWindow(m_form.get()); // the shortcut is the active window's
            QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
            LargeFormFixture::whenModalOpens<QDialog>(m_form.get(), [&shown](QDialog& form) {
                auto* table = form.findChild<QTableWidget*>(QStringLiteral("TariffGrid"));
                shown << form.windowTitle()
                      << form.findChild<QLabel*>(QStringLiteral("CompareHeading"))->text();
                for (int row = 0; table && row < table->rowCount(); ++row) {
                    QStringList cells;
                    for (int column = 0; column < table->columnCount(); ++column)
                        if (table->item(row, column))
                            cells << table->item(row, column)->text();
                    shown << cells.join(QLatin1Char('|'));
                }
                shown << form.findChild<QLabel*>(QStringLiteral("LoggedCost"))->text();
                form.findChild<QPushButton*>(QStringLiteral("CloseButton"))->click();
            });
            QTest::keyClick(m_form.get(), Qt::Key_T, Qt::ControlModifier);
        };
        compare();
        QCOMPARE(shown, (QStringList{"Compare Tariffs", "All 5 calls of the log, priced with each rate file:",
                                     "Cheap|5|\u00a30.70|\u00a30.70|-\u00a30.80|4",
                                     "Dear (in use)|5|\u00a37.20|\u00a38.65|+\u00a37.15|0",
                                     "Broken|Cannot be read: The file is too short",
                                     "5 calls as logged: \u00a31.50 (\u00a30.75 exc. tax)"}));
        select(1, 2);
        enterGrid();
        compare();
        QCOMPARE(shown.mid(1, 3), (QStringList{"The 2 selected calls, priced with each rate file:",
                                               "Cheap|2|\u00a30.28|\u00a30.28|-\u00a30.42|2",
                                               "Dear (in use)|2|\u00a32.88|\u00a33.46|+\u00a32.76|0"}));
    }

    // A PDF export of the selection, or of all calls when no selection is
    // shown; on a full disk the old file stays. No export is written over
    // one of the program's own files: a box names it.
    void exportToPdf_data() {
        QTest::addColumn<bool>("selection");
        QTest::addColumn<bool>("diskFull");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("refused"); // the file, and what the box calls it
        QTest::newRow("all calls") << false << false << "ExportPdf"
                                   << "";
        QTest::newRow("the selection") << true << false << "ExportPdf"
                                       << "";
        QTest::newRow("a full disk") << false << true << "ExportPdf"
                                     << "";
        QTest::newRow("PDF over the log") << false << false << "ExportPdf"
                                          << "Calls.log is the call log";
        QTest::newRow("text over the settings") << false << false << "ExportAll"
                                                << "Dialtaly.ini is the settings file";
        QTest::newRow("a new rate file") << true << false << "ExportSelected"
                                         << "New.dtr is a rate file";
    }
    void exportToPdf() {
        QFETCH(bool, selection);
        QFETCH(bool, diskFull);
        QFETCH(QString, command);
        QFETCH(QString, refused);
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        QVERIFY(log().append({sampleCall(at(12, 1), 0.1f, 1), sampleCall(at(12, 2), 0.25f, 5),
                              sampleCall(at(12, 3), 1.5f, 12)}));
        open();
        if (selection)
            select(1, 2);
        const QString pdf = m_dir->filePath(refused.isEmpty() ? "calls.pdf" : refused.section(' ', 0, 0));
        if (refused.isEmpty())
            QVERIFY(AtomicFile::replace(pdf, "old"));
        const auto files = [this] {
            QStringList all;
            for (const QFileInfo& file : QDir(m_dir->path()).entryInfoList(QDir::Files, QDir::Name))
                all << file.fileName() + ' ' + QString::number(file.size());
            return all;
        };
        const QStringList before = files();
        m_files.nextPaths = QStringList{pdf};
        {
            std::optional<FileSizeLimit> limit;
            if (diskFull)
                limit.emplace(2000);
            action(qPrintable(command))->trigger();
        }
        if (!refused.isEmpty()) {
            QCOMPARE(m_prompter.errors,
                     QStringList{m_dir->filePath(refused) + ". An export never writes over the "
                                                            "program's own files: choose another name."});
            QCOMPARE(files(), before); // nothing written
            return;
        }
        QCOMPARE(m_files.captions, QStringList{"Export to PDF.."});
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        if (diskFull) {
            QCOMPARE(file.readAll(), QByteArray("old"));
            QCOMPARE(m_prompter.errors.size(), 1);
            QVERIFY(
                m_prompter.errors.first().startsWith(QDir::toNativeSeparators(pdf) + " cannot be written: "));
            QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files, QDir::Name),
                     (QStringList{"Calls.log", "calls.pdf"})); // no temporary file left
            return;
        }
        QVERIFY(m_prompter.all().isEmpty());
        QProcess text;
        text.start("pdftotext", {pdf, "-"});
        QVERIFY(text.waitForFinished());
        const QString printed = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(printed.startsWith(QStringLiteral("Dialtally Pro v1.0 Call log Printout\n"
                                                   "Created On 09/12/2026 at 12:00:00.\n") +
                                    (selection ? QStringLiteral("Contains A Selection of Calls Only.\n"
                                                                "2 Calls selected totalling \u00a31.75\n")
                                               : QStringLiteral("Contains All Calls.\n"
                                                                "\u00a31.85 spent in 3 calls.\n"))),
                 qPrintable(printed));
        for (const char* shown : {"Date", "Cost inc Tax", "02/12/2026", "Wednesday", "\u00a30.25", "Regional",
                                  "03/12/2026", "International", "\u00a31.50", "Page 1"})
            QVERIFY2(printed.contains(QString::fromUtf8(shown)), shown);
        QCOMPARE(printed.contains("01/12/2026"), !selection);
    }

    // On paper of every common kind each text of the printout is whole and
    // inside the printable area, 0.4 inch from the edges at least: smaller
    // type for a wide table, the page turned when even the least type will
    // not do. Read back word by word with its place (pdftotext -bbox).
    void printoutsKeepEveryTextWhole_data() {
        QTest::addColumn<int>("paper"); // QPageSize::PageSizeId
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<double>("margin"); // mm
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("locale"); // "hu_HU": long dates
        QTest::addColumn<double>("fontSize");
        QTest::addColumn<bool>("turned");
        const auto row = [](const char* name, QPageSize::PageSizeId paper, bool landscape, double margin,
                            const QString& rate, const char* locale, double fontSize, bool turned) {
            QTest::newRow(name) << int(paper) << landscape << margin << rate << locale << fontSize << turned;
        };
        const QString wide(30, 'W'); // as long as the rate-name store keeps, in the widest letter
        row("A4 portrait", QPageSize::A4, false, 10, "Night, Saver", "en_GB", 10, false);
        row("A4 portrait, a wide name", QPageSize::A4, false, 10, wide, "en_GB", 10, true);
        row("A4 portrait, a large font", QPageSize::A4, false, 10, "Night, Saver", "en_GB", 24, false);
        row("Letter portrait, long dates", QPageSize::Letter, false, 25, "Night, Saver", "hu_HU", 10, false);
        row("Letter landscape, a wide name, a large font", QPageSize::Letter, true, 5, wide, "en_GB", 24,
            false);
        row("A5 portrait, a Greek name", QPageSize::A5, false, 10,
            "\u039d\u03c5\u03c7\u03c4\u03b5\u03c1\u03b9\u03bd\u03ae", "en_GB", 10, true);
        row("A6, wide margins, too small either way", QPageSize::A6, false, 20, wide, "hu_HU", 10, true);
    }
    void printoutsKeepEveryTextWhole() {
        QFETCH(int, paper);
        QFETCH(bool, landscape);
        QFETCH(double, margin);
        QFETCH(QString, rate);
        QFETCH(QString, locale);
        QFETCH(double, fontSize);
        QFETCH(bool, turned);
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        QLocale::setDefault(QLocale(locale));
        const auto restore = qScopeGuard([font = QApplication::font()] { QApplication::setFont(font); });
        QFont font = QApplication::font();
        font.setPointSizeF(fontSize);
        QApplication::setFont(font);
        const quint16 key =
            RateNameStore(ProgramFiles::rateNameStorePath(m_dir->path())).RateNameKeyFor(rate);
        QVERIFY(log().append({sampleCall(at(10, 26, 9), 0.1f, 12, key),
                              sampleCall(at(12, 23, 23), 123.45f, 5, key),
                              sampleCall(at(12, 9, 0), 0.0f, 7, key)}));
        open();
        const QString pdf = m_dir->filePath("calls.pdf");
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageLayout(QPageLayout(QPageSize(QPageSize::PageSizeId(paper)),
                                          landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                          QMarginsF(margin, margin, margin, margin),
                                          QPageLayout::Millimeter));
        m_form->PrintCalls(0, 2, false, printer);
        QProcess text;
        text.start("pdftotext", {"-bbox", pdf, "-"});
        QVERIFY(text.waitForFinished());

        QSizeF page;
        QMap<int, QList<std::pair<QRectF, QString>>> lines; // the words, by the foot of their line
        QXmlStreamReader html(text.readAllStandardOutput());
        while (!html.atEnd()) {
            const auto number = [&html](const char* name) {
                return html.attributes().value(name).toDouble();
            };
            if (html.readNext() == QXmlStreamReader::StartElement && html.name() == QLatin1String("page"))
                page = QSizeF(number("width"), number("height"));
            if (html.isStartElement() && html.name() == QLatin1String("word")) {
                const QRectF box(QPointF(number("xMin"), number("yMin")),
                                 QPointF(number("xMax"), number("yMax")));
                lines[qRound(box.bottom())].append({box, html.readElementText()});
            }
        }
        QCOMPARE(page.width() > page.height(), landscape != turned);
        const double edge = std::max(margin / 25.4, 0.4) * 72 - 0.5;
        const QRectF inside(QPointF(edge, edge), QPointF(page.width() - edge, page.height() - edge));
        QMap<QString, QList<std::pair<QRectF, QString>>> shown; // each line by its words
        for (const auto& line : lines) {
            QStringList words;
            for (const auto& [box, word] : line) {
                QVERIFY2(inside.contains(box), qPrintable(word));
                words << word;
            }
            shown[words.join(' ')] = line;
        }
        // Each column's texts start where its title does and end before the next one's.
        const QStringList titles = headers();
        QVERIFY2(shown.contains(titles.join(' ')), qPrintable(shown.keys().join('\n')));
        std::vector<double> starts;
        for (qsizetype word = 0; const QString& title : titles) {
            starts.push_back(shown[titles.join(' ')][word].first.left());
            word += title.count(' ') + 1;
        }
        starts.push_back(page.width());
        for (int row = 0; row < 3; ++row) {
            QStringList cells;
            for (int column = 0; column < titles.size(); ++column)
                cells << cell(row, column);
            const QString expected = cells.join(' ').simplified();
            QVERIFY2(shown.contains(expected), qPrintable(expected + "\n--\n" + shown.keys().join('\n')));
            for (const auto& [box, word] : shown[expected])
                QVERIFY2(box.right() < *std::upper_bound(starts.begin(), starts.end(), box.left() + 0.01),
                         qPrintable(word));
        }
    }

    // With the real message box: over the viewer, not the hidden main window,
    // and Enter keeps the calls.
    void aQuestionFromTheViewerIsCentredOverItAndEnterKeepsTheCalls() {
        fiveCalls();
        QtPrompter prompter;
        QWidget mainWindow; // hidden, in a corner
        mainWindow.setGeometry(0, 0, 200, 100);
        prompter.setOwnerWindow(&mainWindow);
        m_services.prompter = &prompter;
        open();
        select(0, 2);
        QString informative;
        QPoint centre;
        bool noIsDefault = false;
        QTimer::singleShot(0, this, [&] {
            auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(question);
            informative = question->informativeText();
            centre = question->geometry().center();
            noIsDefault = question->defaultButton() == question->button(QMessageBox::No);
            QTest::keyClick(question, Qt::Key_Return);
        });
        QTest::keyClick(grid(), Qt::Key_Delete);
        QCOMPARE(informative, QStringLiteral("3 calls will be removed from the call log."));
        QVERIFY(noIsDefault);
        QCOMPARE(loggedCosts().size(), 5);
        QVERIFY2((centre - m_form->geometry().center()).manhattanLength() < 30,
                 qPrintable(QStringLiteral("%1,%2").arg(centre.x()).arg(centre.y())));
        m_form.reset();
        QCOMPARE(prompter.ownerWindow(), &mainWindow);
    }

    void pastCallsFromTheMainWindow() {
        LargeFormFixture fixture;
        fixture.reset();
        QVERIFY(
            CallLog(fixture.path("Calls.log")).append({sampleCall(LargeFormFixture::wednesday(9, 0), 0.5f)}));
        auto window = fixture.makeWindow();
        window->show();
        QCOMPARE(LargeFormFixture::text(*window, "TodayValue"),
                 QStringLiteral("1 call today totalling \u00a30.50"));
        bool seen = false;
        fixture.prompter.setOwnerWindow(window.get());
        std::function<void()> whenOpen = [&] {
            auto* viewer = qobject_cast<TDataForm*>(QApplication::activeModalWidget());
            if (!viewer) // still loading
                return QTimer::singleShot(0, this, whenOpen);
            seen = !window->isVisible() && fixture.prompter.ownerWindow() == viewer;
            viewer->findChild<QAction*>("SelectAll")->trigger();
            viewer->DeleteSelectedRecordsClick();
            viewer->close();
        };
        QTimer::singleShot(0, this, whenOpen);
        LargeFormFixture::child<QPushButton>(*window, "DataButton")->click();
        QVERIFY(seen);
        QVERIFY(window->isVisible());
        QCOMPARE(fixture.prompter.ownerWindow(), window.get());
        QCOMPARE(window->meter().applicationTitle(), TLargeForm::ApplicationTitle);
        QCOMPARE(LargeFormFixture::text(*window, "TodayValue"), QStringLiteral("No calls made today"));
        QCOMPARE(QFileInfo(fixture.path("Calls.log")).size(), 0);
    }
};

QTEST_MAIN(TestDataForm)
#include "test_dataform.moc"
