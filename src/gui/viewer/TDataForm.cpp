#include "gui/viewer/TDataForm.h"

#include "core/calllog/CallTotals.h"
#include "core/seams/Clock.h"
#include "core/seams/HelpViewer.h"
#include "core/seams/Prompter.h"
#include "core/settings/SettingsKeys.h"
#include "gui/shell/ScreenPlace.h"
#include "gui/viewer/TProgressForm.h"
#include "gui/widgets/FormRules.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QTimer>

TDataForm::Busy::Busy(TDataForm& form) : m_form(form) {
    ++m_form.m_busy;
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

TDataForm::Busy::~Busy() {
    QApplication::restoreOverrideCursor();
    --m_form.m_busy;
}

TDataForm::TDataForm(const Services& services, QWidget* parent)
    : QDialog(parent), m_services(services), m_boxesOver(services, this),
      m_settings(ProgramFiles::settingsPath(services.programDirectory)) {
    setModal(true);
    m_progress = new TProgressForm(this);
    m_viewer = std::make_unique<CallLogViewer>(services.programDirectory, *services.prompter, m_progress);
    buildLayout();
    buildMenus();
    connectControls();

    // The table opens in the log's order, which the sort panel presents as by
    // date, oldest first.
    showSortState(DateColumn);
    ReadIniSettings();
    m_viewer->SortKey = DateColumn;
    QString message;
    {
        Busy busy(*this);
        m_progress->WithOutProgress(QStringLiteral("Loading..."), QStringLiteral("Loading past calls.."));
        message = LoadData();
    }
    FlashTimer->start();
    fitWidthToColumns();
    // Told once the window is open, not from inside its making.
    if (!message.isEmpty())
        QTimer::singleShot(0, this, [this, message] { tell(message); });
}

void TDataForm::fitWidthToColumns() {
    // Wide enough for every column where the screen allows, never narrower than its first size.
    layout()->activate();
    const int table = DataBank->horizontalHeader()->length() +
                      DataBank->verticalScrollBar()->sizeHint().width() + 2 * DataBank->frameWidth();
    const int wanted = width() - DataBank->width() + table;
    ScreenPlace::fit(this, QSize(std::max(width(), wanted), height()));
}

TDataForm::~TDataForm() {
    DataBank->setModel(nullptr);
}

void TDataForm::connectControls() {
    CallTableModel* model = &m_viewer->model();
    // The header forgets its sections' sizes over a reload; they come back
    // from the columns, grown for texts the new calls bring.
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { m_sizingInCode = true; });
    connect(model, &QAbstractItemModel::modelReset, this, [this] {
        m_sizingInCode = false;
        applyWidths();
    });
    connect(DataBank->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int index, int, int size) { DataBankColumnResized(index, size); });
    connect(DataBank->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TDataForm::updateSummary);
    connect(DataBank->horizontalHeader(), &QHeaderView::sectionMoved, this,
            [this](int, int from, int to) { DataBankColumnMoved(from, to); });
    connect(DataBank->horizontalHeader(), &QHeaderView::sectionDoubleClicked, this,
            &TDataForm::SortIntoOrder);
    connect(DataBank, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        openColumnMenu(DataBank->columnAt(pos.x()), DataBank->viewport()->mapToGlobal(pos));
    });
    connect(DataBank->horizontalHeader(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) {
                QHeaderView* header = DataBank->horizontalHeader();
                openColumnMenu(header->logicalIndexAt(pos), header->mapToGlobal(pos));
            });
    DataBank->installEventFilter(this);
    SelectButton->installEventFilter(this);

    connect(SelectButton, &QPushButton::clicked, this, &TDataForm::SelectButtonClick);
    connect(SortButton, &QPushButton::clicked, this, &TDataForm::SortButtonClick);
    connect(HelpBtn, &QPushButton::clicked, this, &TDataForm::HelpBtnClick);
    connect(DeleteSelectedRecords, &QPushButton::clicked, this, &TDataForm::DeleteSelectedRecordsClick);
    connect(InfoOffTimer, &QTimer::timeout, this, &TDataForm::InfoOffTimerTimer);
    connect(FlashTimer, &QTimer::timeout, this, &TDataForm::FlashTimerTimer);
}

void TDataForm::done(int result) {
    if (m_busy)
        return;
    WriteIniSettings();
    QDialog::done(result);
}

bool TDataForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete &&
        (watched == DataBank || watched == SelectButton)) {
        if (SelectedRecordsPanel->isVisible())
            askToDelete();
        else if (!selectedRows())
            m_services.prompter->beep();
        return true;
    }
    // DataBankEnter: the user comes to the grid, not a box or menu handing the focus back.
    if (watched == DataBank && event->type() == QEvent::FocusIn &&
        FormRules::isUserFocusMove(static_cast<QFocusEvent*>(event)->reason()) &&
        !m_viewer->model().isEmptyTable() && selectedRows())
        SelectedRecordsPanel->show();
    return QDialog::eventFilter(watched, event);
}

void TDataForm::tell(const QString& message) {
    if (!message.isEmpty())
        m_services.prompter->error(message);
}

void TDataForm::HelpBtnClick() {
    if (m_services.help)
        m_services.help->showTopic(HelpContext);
}

// ---- Table and columns -----------------------------------------------------

QString TDataForm::LoadData() {
    const QString message = m_viewer->LoadData();
    TotalCostLabel->setText(m_viewer->totalsLine());
    if (m_viewer->model().isEmptyTable())
        SelectedRecordsPanel->hide();
    selectRows(0, 0);
    return message;
}

void TDataForm::ReadIniSettings() {
    ColumnLayout& layout = m_viewer->layout();
    const SettingsSnapshot settings = m_settings.readAll();
    layout.read(settings);
    m_viewer->setMainSymbol(settings.ReadSettingString(
        SettingsKeys::DefaultsSection, SettingsKeys::MainSymbol, SettingsKeys::DefaultMainSymbol));
    for (int c = 1; c <= ViewerColumnCount; ++c)
        m_showColumn[size_t(c - 1)]->setChecked(layout.isVisible(c));
    ReadWidthSettings();
    OnlyColumn();
}

void TDataForm::ReadWidthSettings() {
    const ColumnLayout& layout = m_viewer->layout();
    const SettingsSnapshot settings = m_settings.readAll();
    for (int c = 1; c <= ViewerColumnCount; ++c) {
        if (layout.isVisible(c))
            m_widthSettings[size_t(c - 1)] = readColumnWidth(settings, c);
    }
    applyWidths();
}

bool TDataForm::WriteWidthSettings(int exceptColumn) {
    return writeColumnWidths(
        m_settings, m_viewer->layout(), [this](int column) { return m_widthSettings[size_t(column - 1)]; },
        exceptColumn);
}

void TDataForm::applyWidths() {
    const ColumnLayout& layout = m_viewer->layout();
    QHeaderView* header = DataBank->horizontalHeader();
    const QScopedValueRollback inCode(m_sizingInCode, true);
    for (int c = 1; c <= ViewerColumnCount; ++c) {
        if (!layout.isVisible(c))
            continue;
        // A width from the settings file, perhaps chosen for a smaller font, is
        // the least; one the user chose in this window stands as it is.
        int width = m_widthSettings[size_t(c - 1)];
        if (!m_widthChosen[size_t(c - 1)])
            width = std::max(width, neededWidth(layout.position(c)));
        header->resizeSection(layout.position(c), width);
    }
}

QStringList TDataForm::widestTexts(int gridColumn, const QFontMetricsF& metrics) const {
    // Every digit taken as wide as the widest, so that any date, time or amount fits.
    QChar widestDigit = u'0';
    for (char16_t digit = u'1'; digit <= u'9'; ++digit) {
        if (metrics.horizontalAdvance(QChar(digit)) > metrics.horizontalAdvance(widestDigit))
            widestDigit = QChar(digit);
    }
    QStringList texts = m_viewer->model().widestTexts(gridColumn);
    for (QString& text : texts) {
        for (QChar& c : text) {
            if (c >= u'0' && c <= u'9')
                c = widestDigit;
        }
    }
    return texts;
}

int TDataForm::neededWidth(int gridColumn) const {
    // As the grid's own delegate measures a cell.
    QStyleOptionViewItem option;
    option.initFrom(DataBank);
    option.font = DataBank->font();
    option.fontMetrics = DataBank->fontMetrics();
    option.features = QStyleOptionViewItem::HasDisplay;
    const int gridLine = DataBank->showGrid() ? 1 : 0;
    int width = DataBank->horizontalHeader()->sectionSizeHint(gridColumn);
    for (const QString& text : widestTexts(gridColumn, QFontMetricsF(DataBank->font()))) {
        option.text = text;
        width = std::max(
            width,
            DataBank->style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), DataBank).width() +
                gridLine);
    }
    return width;
}

void TDataForm::DataBankColumnResized(int gridColumn, int size) {
    const ColumnLayout& layout = m_viewer->layout();
    // The last column takes the window's spare width: that is not a width
    // chosen. Nor is what the header does while the columns change.
    const int columns = DataBank->horizontalHeader()->count();
    if (m_sizingInCode || gridColumn >= columns - 1 || columns != layout.HowManyActive())
        return;
    const int column = layout.columnAt(gridColumn);
    if (column == NoColumn)
        return;
    m_widthSettings[size_t(column - 1)] = size;
    m_widthChosen[size_t(column - 1)] = true;
}

void TDataForm::WriteIniSettings() {
    if (!m_viewer->layout().write(m_settings) || !WriteWidthSettings(NoColumn))
        tell(m_settings.failureText());
}

void TDataForm::ShowColumnClick(int column) {
    const std::optional<std::pair<int, int>> rows = selectedRows();
    ColumnLayout& layout = m_viewer->layout();
    // The width of a column about to hide is kept; one about to show keeps the one it had.
    const bool written = WriteWidthSettings(layout.isVisible(column) ? NoColumn : column);
    layout.toggleColumn(column);
    m_showColumn[size_t(column - 1)]->setChecked(layout.isVisible(column));
    const QString message = ShowColumnLastPart();
    if (rows)
        selectRows(rows->first, rows->second);
    else
        clearSelection();
    if (!written)
        tell(m_settings.failureText());
    tell(message);
}

QString TDataForm::ShowColumnLastPart() {
    QString message;
    {
        Busy busy(*this);
        m_progress->WithProgress(QStringLiteral("Loading..."), QStringLiteral("Loading past calls.."));
        message = LoadData();
        ReadWidthSettings();
    }
    OnlyColumn();
    return message;
}

void TDataForm::OnlyColumn() {
    const bool single = m_viewer->layout().HowManyActive() == 1;
    for (QAction* item : m_showColumn)
        item->setEnabled(!(single && item->isChecked()));
}

void TDataForm::HideColumnClick() {
    const int column = m_viewer->layout().columnAt(m_popupColumn);
    if (column != NoColumn)
        ShowColumnClick(column);
}

void TDataForm::DataBankColumnMoved(int fromIndex, int toIndex) {
    // The header has moved its section; put it back, for the table puts each
    // column at its position.
    QHeaderView* header = DataBank->horizontalHeader();
    header->blockSignals(true);
    header->moveSection(toIndex, fromIndex);
    header->blockSignals(false);

    const std::optional<std::pair<int, int>> rows = selectedRows();
    m_viewer->layout().columnMoved(fromIndex, toIndex);
    m_viewer->model().columnsMoved();
    applyWidths();
    if (rows)
        selectRows(rows->first, rows->second);
    DataBank->viewport()->update();
}

void TDataForm::ResetColumnsClick() {
    ColumnLayout& layout = m_viewer->layout();
    layout.reset();
    for (int c = 1; c <= ViewerColumnCount; ++c) {
        m_showColumn[size_t(c - 1)]->setChecked(layout.isVisible(c));
        m_widthSettings[size_t(c - 1)] = viewerColumnInfo(c).resetWidth;
        m_widthChosen[size_t(c - 1)] = false;
    }
    const QString message = ReloadTable();
    OnlyColumn();
    tell(message);
}

QString TDataForm::ReloadTable() {
    Busy busy(*this);
    m_progress->WithProgress(QStringLiteral("Loading..."), QStringLiteral("Reloading past calls.."));
    return LoadData();
}

// ---- Sorting ---------------------------------------------------------------

void TDataForm::showSortState(int column) {
    const bool ascending = m_viewer->SortAscending;
    if (column >= DateColumn && column <= ViewerColumnCount) {
        const ViewerColumnInfo& info = viewerColumnInfo(column);
        SortOrder->setText(QLatin1String(info.sortOrder));
        TopSortLabel->setText(QLatin1String(ascending ? info.firstText : info.lastText));
        BottomSortLabel->setText(QLatin1String(ascending ? info.lastText : info.firstText));
    }
    m_arrows[0]->setVisible(ascending);
    m_arrows[1]->setVisible(ascending);
    m_arrows[2]->setVisible(!ascending);
    m_arrows[3]->setVisible(!ascending);
    SortOrder->move(SortOrder->x(), ascending ? 158 : 148);
}

void TDataForm::SortIntoOrder(int gridColumn) {
    tell(sortBy(gridColumn));
}

QString TDataForm::sortBy(int gridColumn) {
    QString message;
    if (!m_viewer->model().isEmptyTable())
        message = SetupSortDisplay(gridColumn);
    SelectedRecordsPanel->hide();
    return message;
}

QString TDataForm::SetupSortDisplay(int gridColumn) {
    const int keyBefore = m_viewer->SortKey;
    const bool ascendingBefore = m_viewer->SortAscending;
    const int column = m_viewer->toggleSort(gridColumn);
    if (column == NoColumn) {
        showSortState(NoColumn);
        return {};
    }
    Busy busy(*this);
    const QString message = m_viewer->QuickSort(column);
    TotalCostLabel->setText(m_viewer->totalsLine());
    selectRows(0, 0);
    if (!message.isEmpty()) {
        // The table keeps the order it had, and so does the panel.
        m_viewer->SortKey = keyBefore;
        m_viewer->SortAscending = ascendingBefore;
    }
    showSortState(m_viewer->SortKey);
    return message;
}

void TDataForm::SortButtonClick() {
    if (m_viewer->model().isEmptyTable()) {
        m_services.prompter->error(QStringLiteral("No calls found in data file!"));
        return;
    }
    for (int c = 1; c <= ViewerColumnCount; ++c)
        m_sortOrderMenus[size_t(c - 1)]->setEnabled(m_viewer->layout().isVisible(c));
    SortCallsMenu->popup(SortButton->mapToGlobal(QPoint(SortButton->width(), 0)));
}

void TDataForm::SortMenuClick(int column, bool descending) {
    if (!m_viewer->layout().isVisible(column))
        return;
    // Through the toggle rule: -1 gives ascending; the column itself, ascending, gives descending.
    m_viewer->SortKey = descending ? column : -1;
    if (descending)
        m_viewer->SortAscending = true;
    SortIntoOrder(m_viewer->layout().position(column));
}

void TDataForm::openColumnMenu(int gridColumn, const QPoint& globalPos) {
    if (gridColumn < 0)
        return;
    m_popupColumn = gridColumn;
    DataBankPopupMenu->popup(globalPos);
}

void TDataForm::sortcolAscendClick() {
    if (m_viewer->layout().columnAt(m_popupColumn) == NoColumn)
        return;
    m_viewer->SortKey = -1;
    SortIntoOrder(m_popupColumn);
}

void TDataForm::SortColDescendClick() {
    m_viewer->SortAscending = true;
    const int column = m_viewer->layout().columnAt(m_popupColumn);
    if (column == NoColumn)
        return;
    m_viewer->SortKey = column;
    SortIntoOrder(m_popupColumn);
}

// ---- Selection and deletion --------------------------------------------------

std::optional<std::pair<int, int>> TDataForm::selectedRows() const {
    const QItemSelection selection = DataBank->selectionModel()->selection();
    if (selection.isEmpty())
        return std::nullopt;
    std::vector<std::pair<int, int>> spans;
    for (const QItemSelectionRange& range : selection)
        spans.emplace_back(range.top(), range.bottom());
    std::sort(spans.begin(), spans.end());
    std::pair<int, int> rows = spans.front();
    for (const auto& [top, bottom] : spans) {
        // Rows apart are not one selection to count or delete; the grid makes none.
        if (top > rows.second + 1)
            return std::nullopt;
        rows.second = std::max(rows.second, bottom);
    }
    return rows;
}

void TDataForm::selectRows(int top, int bottom) {
    const CallTableModel& model = m_viewer->model();
    const int last = model.rowCount() - 1;
    top = std::clamp(top, 0, last);
    bottom = std::clamp(bottom, top, last);
    const QItemSelection rows(model.index(top, 0), model.index(bottom, std::max(0, model.columnCount() - 1)));
    const QScopedValueRollback inCode(m_selectingInCode, true);
    DataBank->selectionModel()->setCurrentIndex(model.index(top, 0), QItemSelectionModel::NoUpdate);
    DataBank->selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect);
    updateSummary();
}

void TDataForm::clearSelection() {
    const QScopedValueRollback inCode(m_selectingInCode, true);
    DataBank->selectionModel()->clearSelection();
    updateSummary();
}

void TDataForm::updateSummary() {
    const std::optional<std::pair<int, int>> rows = selectedRows();
    if (!rows) {
        // Nothing highlighted: nothing to count, and nothing Delete could take.
        SelectedRecordsPanel->hide();
        return;
    }
    SelectedAmount->setText(m_viewer->selectionSummary(rows->first, rows->second));
    // Rows the user picks in the grid are a selection to act on, as when coming to the grid.
    if (!m_selectingInCode && !m_viewer->model().isEmptyTable())
        SelectedRecordsPanel->show();
}

void TDataForm::SelectButtonClick() {
    if (m_viewer->model().isEmptyTable()) {
        m_services.prompter->error(QStringLiteral("No calls found in data file"));
    } else if (m_viewer->layout().isVisible(DateColumn)) {
        UserTotalMenu->popup(SelectButton->mapToGlobal(QPoint(SelectButton->width(), 0)));
    } else {
        m_services.prompter->information(
            QStringLiteral("Date column must be visible (In Show Columns menu) for this action"));
    }
}

void TDataForm::SelectAllClick() {
    selectRows(0, m_viewer->model().rowCount() - 1);
    SelectedRecordsPanel->show();
}

void TDataForm::SelectNoneClick() {
    clearSelection();
    SelectedRecordsPanel->hide();
}

void TDataForm::PeriodSelection(SelectionPeriod period) {
    if (!m_viewer->layout().isVisible(DateColumn))
        return;
    // The rows of a period follow one another only in date order.
    if (!m_viewer->inDateOrder()) {
        m_viewer->SortKey = -1;
        if (const QString failed = sortBy(m_viewer->layout().position(DateColumn)); !failed.isEmpty()) {
            clearSelection();
            tell(failed);
            return;
        }
    }
    QString damaged;
    if (const auto rows = m_viewer->periodRows(period, m_services.clock->now(), &damaged)) {
        selectRows(rows->first, rows->second);
        SelectedRecordsPanel->show();
        SelectionNotice->show();
        InfoOffTimer->start();
        return;
    }
    if (!damaged.isEmpty()) {
        clearSelection();
        tell(damaged);
        return;
    }
    static const char* const Messages[] = {"No calls today found", "No calls this week found",
                                           "No calls this month found", "No calls this year found"};
    m_services.prompter->warning(QLatin1String(Messages[int(period)]));
}

void TDataForm::InfoOffTimerTimer() {
    SelectionNotice->hide();
}

void TDataForm::FlashTimerTimer() {
    if (InfoOffTimer->isActive())
        SelectionNotice->setVisible(!SelectionNotice->isVisible());
}

void TDataForm::DeleteSelectedRecordsClick() {
    if (SelectedRecordsPanel->isVisible())
        askToDelete();
}

void TDataForm::askToDelete() {
    const std::optional<std::pair<int, int>> rows = selectedRows();
    if (!rows) {
        m_services.prompter->beep();
        return;
    }
    const auto [top, bottom] = *rows;
    const int count = bottom - top + 1;
    const QString question = QStringLiteral("Are You Sure that you want to delete %1 call%2?")
                                 .arg(top == bottom ? QStringLiteral("this") : QStringLiteral("these"))
                                 .arg(PluralSuffix(count));
    const QString detail =
        QStringLiteral("%1 call%2 will be removed from the call log.").arg(count).arg(PluralSuffix(count));
    if (m_services.prompter->askYesNoDefaultNo(question, detail))
        DeleteRecord();
}

void TDataForm::DeleteRecord() {
    // The rows as they are now: the question may have waited a while.
    const std::optional<std::pair<int, int>> rows = selectedRows();
    if (m_viewer->model().isEmptyTable() || !rows) {
        m_services.prompter->beep();
        SelectedRecordsPanel->hide();
        return;
    }
    QString message;
    {
        Busy busy(*this);
        const auto [top, bottom] = *rows;
        m_progress->WithProgress(
            QStringLiteral("Deleting..."),
            QStringLiteral("Deleting Selected call%1..").arg(PluralSuffix(bottom - top + 1)));
        message = m_viewer->deleteRows(top, bottom);
        m_progress->hideProgress();
        TotalCostLabel->setText(m_viewer->totalsLine());
        selectRows(0, 0);
        // A sorted copy that could not be written leaves the log's own order.
        showSortState(m_viewer->SortKey);
    }
    SelectedRecordsPanel->hide();
    tell(message);
}
