// The viewer's controls, menus and timers, by the names the rest of the
// program and the tests know them by.
#include "gui/viewer/TDataForm.h"

#include "gui/spending/TSpendingForm.h"
#include "gui/widgets/FormRules.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

struct SortMenuItem {
    const char* name; // the handlers' stem: DateAsc, DateDesc, ...
    const char* caption;
};
constexpr SortMenuItem SortItems[ViewerColumnCount] = {
    {"Date", "&Date Order"},
    {"Day", "D&ay Order"},
    {"Start", "&Start time Order"},
    {"End", "&End time Order"},
    {"Duration", "D&uration Order"},
    {"CostExc", "Cost E&xc Tax Order"},
    {"CostInc", "Cost I&nc Tax Order"},
    {"Type", "&Type Of Call Order"},
    {"Distance", "Distan&ce Order"},
    {"Rate", "&Rate Order"},
    {"Number", "Num&ber Order"},
};

using FormRules::make;

// A caption, said by a screen reader as the name of the value beside it.
QLabel* caption(QWidget* parent, const char* name, const QString& text, QWidget* value = nullptr) {
    auto* label = make<QLabel>(parent, name);
    label->setText(text);
    label->setBuddy(value);
    return label;
}

QAction* action(QMenu* menu, const char* name, const QString& caption) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    return a;
}

// An arrow pointing up or down, its head as wide as the picture, drawn for
// the screen's pixels.
QPixmap arrowPicture(int width, int height, bool up, const QColor& colour, qreal pixelRatio) {
    QPixmap picture(QSize(width, height) * pixelRatio);
    picture.setDevicePixelRatio(pixelRatio);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    const double head = width * 0.9;
    const double shaft = width / 3.0;
    const double mid = width / 2.0;
    QPolygonF arrow{{mid, 0},
                    {double(width), head},
                    {mid + shaft / 2, head},
                    {mid + shaft / 2, double(height)},
                    {mid - shaft / 2, double(height)},
                    {mid - shaft / 2, head},
                    {0, head}};
    if (!up) {
        for (QPointF& point : arrow)
            point.setY(height - point.y());
    }
    p.drawPolygon(arrow);
    return picture;
}

struct ArrowPlace {
    const char* name;
    const char* accessibleName;
    QRect place; // at the panel's design width
    bool up;
};
constexpr int PanelWidth = 84;
constexpr ArrowPlace Arrows[] = {{"SmallUpArrow", "Ascending", {32, 110, 20, 40}, true},
                                 {"LargeUpArrow", "Ascending", {28, 186, 28, 96}, true},
                                 {"LargeDownArrow", "Descending", {28, 44, 28, 96}, false},
                                 {"SmallDownArrow", "Descending", {32, 176, 20, 40}, false}};

} // namespace

void TDataForm::buildSortPanel() {
    SecondLeftPanel = make<QFrame>(this, "SecondLeftPanel", QStringLiteral("Sort order"));
    SecondLeftPanel->setFrameShape(QFrame::StyledPanel);
    SecondLeftPanel->setToolTip(QStringLiteral("This panel shows the current sort order of the data"));
    // Each says what it shows (Oldest, Date, Newest); where it stands is its description.
    TopSortLabel = make<QLabel>(SecondLeftPanel, "TopSortLabel");
    TopSortLabel->setAccessibleDescription(QStringLiteral("Top of the table"));
    SortOrder = make<QLabel>(SecondLeftPanel, "SortOrder");
    SortOrder->setAccessibleDescription(QStringLiteral("Sorted by"));
    BottomSortLabel = make<QLabel>(SecondLeftPanel, "BottomSortLabel");
    BottomSortLabel->setAccessibleDescription(QStringLiteral("Bottom of the table"));
    QFont bold = SortOrder->font();
    bold.setBold(true);
    SortOrder->setFont(bold);

    // The design's places, in a panel wide enough for the longest of its texts.
    const QFontMetrics plain = TopSortLabel->fontMetrics();
    const QFontMetrics heavy(bold);
    int width = PanelWidth;
    for (int c = 1; c <= ViewerColumnCount; ++c) {
        const ViewerColumnInfo& info = viewerColumnInfo(c);
        width = std::max({width, heavy.horizontalAdvance(QLatin1String(info.sortOrder)) + 12,
                          plain.horizontalAdvance(QLatin1String(info.firstText)) + 12,
                          plain.horizontalAdvance(QLatin1String(info.lastText)) + 12});
    }
    SecondLeftPanel->setFixedWidth(width);
    SecondLeftPanel->setMinimumHeight(320);
    const int lineHeight = std::max(20, heavy.height() + 4);
    const std::pair<QLabel*, int> labels[] = {{TopSortLabel, 10}, {SortOrder, 158}, {BottomSortLabel, 292}};
    for (const auto& [label, y] : labels) {
        label->setAlignment(Qt::AlignCenter);
        label->setGeometry(2, y, width - 4, lineHeight);
    }
    for (size_t i = 0; i < m_arrows.size(); ++i) {
        const ArrowPlace& arrow = Arrows[i];
        m_arrows[i] = make<QLabel>(SecondLeftPanel, arrow.name, QString::fromLatin1(arrow.accessibleName));
        m_arrows[i]->setGeometry(arrow.place.translated((width - PanelWidth) / 2, 0));
    }
    paintArrows();
}

void TDataForm::paintArrows() {
    // In the text's colour, so that they read on a dark palette as on a light one.
    const QColor colour = palette().color(QPalette::WindowText);
    for (size_t i = 0; i < m_arrows.size(); ++i) {
        const ArrowPlace& arrow = Arrows[i];
        m_arrows[i]->setPixmap(arrowPicture(arrow.place.width(), arrow.place.height(), arrow.up, colour,
                                            m_arrows[i]->devicePixelRatioF()));
    }
}

void TDataForm::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        paintArrows();
}

void TDataForm::buildLayout() {
    setObjectName(QStringLiteral("TDataForm"));
    setWindowTitle(Caption);
    resize(656, 431);

    buildSortPanel();

    DataBank = make<QTableView>(this, "DataBank", QStringLiteral("Logged calls"));
    DataBank->setModel(&m_viewer->model());
    DataBank->setSelectionBehavior(QAbstractItemView::SelectRows);
    DataBank->setSelectionMode(QAbstractItemView::ContiguousSelection);
    DataBank->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DataBank->setFocusPolicy(Qt::ClickFocus);
    DataBank->setWordWrap(false);
    DataBank->setContextMenuPolicy(Qt::CustomContextMenu);
    DataBank->verticalHeader()->hide();
    DataBank->verticalHeader()->setMinimumSectionSize(1);
    DataBank->verticalHeader()->setDefaultSectionSize(std::max(16, DataBank->fontMetrics().height() + 4));
    QHeaderView* header = DataBank->horizontalHeader();
    header->setSectionsMovable(true);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setMinimumSectionSize(0);
    header->setDefaultSectionSize(64);
    header->setStretchLastSection(true);
    header->setContextMenuPolicy(Qt::CustomContextMenu);

    // The panels are named by their captions; their hints become their descriptions.
    TotalPanel = make<QFrame>(this, "TotalPanel", QStringLiteral("Total"));
    TotalPanel->setFrameShape(QFrame::StyledPanel);
    TotalPanel->setToolTip(QStringLiteral("All the calls"));
    TotalCostLabel = make<QLabel>(TotalPanel, "TotalCostLabel");
    TotalCostLabel->setText(CallLogViewer::NoCallsTotals);
    auto* totalRow = new QHBoxLayout(TotalPanel);
    totalRow->setContentsMargins(8, 4, 8, 4);
    totalRow->addWidget(caption(TotalPanel, "TotalLabel", QStringLiteral("Total:"), TotalCostLabel));
    totalRow->addWidget(TotalCostLabel, 1);

    SelectedRecordsPanel = make<QFrame>(this, "SelectedRecordsPanel", QStringLiteral("Selected"));
    SelectedRecordsPanel->setFrameShape(QFrame::StyledPanel);
    SelectedRecordsPanel->setToolTip(QStringLiteral("The selected calls"));
    SelectedAmount = make<QLabel>(SelectedRecordsPanel, "SelectedAmount");
    DeleteSelectedRecords = make<QPushButton>(SelectedRecordsPanel, "DeleteSelectedRecords");
    DeleteSelectedRecords->setText(QStringLiteral("&Delete Selection"));
    DeleteSelectedRecords->setAutoDefault(false);
    auto* selectedRow = new QHBoxLayout(SelectedRecordsPanel);
    selectedRow->setContentsMargins(8, 2, 4, 2);
    selectedRow->addWidget(
        caption(SelectedRecordsPanel, "SelectedLabel", QStringLiteral("Selected:"), SelectedAmount));
    selectedRow->addWidget(SelectedAmount, 1);
    selectedRow->addWidget(DeleteSelectedRecords);
    FormRules::keepSpaceWhenHidden(SelectedRecordsPanel);
    SelectedRecordsPanel->hide();

    SelectionNotice =
        caption(this, "SelectionNotice", QStringLiteral("Selected Calls start at bottom of the table"));
    QPalette red = SelectionNotice->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    SelectionNotice->setPalette(red);
    FormRules::keepSpaceWhenHidden(SelectionNotice);
    SelectionNotice->hide();

    auto button = [this](const char* name, const QString& text) {
        auto* b = make<QPushButton>(this, name);
        b->setText(text);
        b->setAutoDefault(false);
        return b;
    };
    // Alt+C, O and D (on "Delete Selection") beside the menus' F and S and the help's H.
    SelectButton = button("SelectButton", QStringLiteral("Select &Calls"));
    SortButton = button("SortButton", QStringLiteral("S&ort Calls"));
    HelpBtn = button("HelpBtn", QStringLiteral("&Help"));

    auto* table = new QHBoxLayout;
    table->addWidget(SecondLeftPanel);
    table->addWidget(DataBank, 1);
    auto* panels = new QVBoxLayout;
    panels->addWidget(TotalPanel);
    panels->addWidget(SelectedRecordsPanel);
    panels->addWidget(SelectionNotice);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(SelectButton);
    buttons->addWidget(SortButton);
    buttons->addWidget(HelpBtn);
    buttons->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addLayout(panels, 1);
    bottom->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(table, 1);
    layout->addLayout(bottom);

    InfoOffTimer = new QTimer(this);
    InfoOffTimer->setObjectName(QStringLiteral("InfoOffTimer"));
    InfoOffTimer->setInterval(4000);
    InfoOffTimer->setSingleShot(true);
    FlashTimer = new QTimer(this);
    FlashTimer->setObjectName(QStringLiteral("FlashTimer"));
    FlashTimer->setInterval(700);
}

// The file menu in groups: exports, printing, then leaving.
void TDataForm::buildFileMenu(QMenu* file) {
    QMenu* exports = file->addMenu(QStringLiteral("&Export to file"));
    exports->setObjectName(QStringLiteral("ExportToFile"));
    connect(action(exports, "ExportAll", QStringLiteral("&All calls")), &QAction::triggered, this,
            &TDataForm::ExportAllClick);
    connect(action(exports, "ExportSelected", QStringLiteral("&Selected Calls")), &QAction::triggered, this,
            &TDataForm::ExportSelectedClick);
    connect(action(file, "ExportPdf", QStringLiteral("Export to P&DF...")), &QAction::triggered, this,
            &TDataForm::ExportPdfClick);
    file->addSeparator();
    QAction* print = action(file, "Print1", QStringLiteral("&Print..."));
    print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(print, &QAction::triggered, this, &TDataForm::Print1Click);
    connect(action(file, "PrintSetup1", QStringLiteral("P&rint Setup...")), &QAction::triggered, this,
            &TDataForm::PrintSetup1Click);
    file->addSeparator();
    QAction* compare = action(file, "CompareTariffs", QStringLiteral("&Compare Tariffs..."));
    compare->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    connect(compare, &QAction::triggered, this, &TDataForm::CompareTariffsClick);
    connect(action(file, "SpendingMenuItem", QStringLiteral("&Spending...")), &QAction::triggered, this,
            [this] {
                TSpendingForm spending(m_services, this);
                spending.exec();
            });
    file->addSeparator();
    connect(action(file, "Exit1", QStringLiteral("E&xit")), &QAction::triggered, this, &QDialog::close);
}

void TDataForm::buildMenus() {
    auto* bar = make<QMenuBar>(this, "MainMenu", QStringLiteral("Menu"));
    layout()->setMenuBar(bar);

    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("FileMenu"));
    buildFileMenu(file);

    QMenu* columns = bar->addMenu(QStringLiteral("&Show Columns"));
    columns->setObjectName(QStringLiteral("ShowColumnsMenu"));
    for (int c = 1; c <= ViewerColumnCount; ++c) {
        const ViewerColumnInfo& info = viewerColumnInfo(c);
        QAction* item = action(columns, info.menuItem, QLatin1String(info.menuCaption));
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, c] { ShowColumnClick(c); });
        m_showColumn[size_t(c - 1)] = item;
    }
    columns->addSeparator();
    ResetColumns = action(columns, "ResetColumns", QStringLiteral("&Restore Defaults"));
    connect(ResetColumns, &QAction::triggered, this, &TDataForm::ResetColumnsClick);

    SortCallsMenu = new QMenu(this);
    SortCallsMenu->setObjectName(QStringLiteral("SortCallsMenu"));
    for (int c = 1; c <= ViewerColumnCount; ++c) {
        const SortMenuItem& item = SortItems[c - 1];
        QMenu* order = SortCallsMenu->addMenu(QLatin1String(item.caption));
        order->setObjectName(QLatin1String(item.name) + QStringLiteral("Order"));
        const QByteArray stem(item.name);
        connect(action(order, (stem + "Asc").constData(), QStringLiteral("&Ascending")), &QAction::triggered,
                this, [this, c] { SortMenuClick(c, false); });
        connect(action(order, (stem + "Desc").constData(), QStringLiteral("&Descending")),
                &QAction::triggered, this, [this, c] { SortMenuClick(c, true); });
        m_sortOrderMenus[size_t(c - 1)] = order;
    }

    UserTotalMenu = new QMenu(this);
    UserTotalMenu->setObjectName(QStringLiteral("UserTotalMenu"));
    connect(action(UserTotalMenu, "SelectNone", QStringLiteral("Select &None")), &QAction::triggered, this,
            &TDataForm::SelectNoneClick);
    const struct {
        const char* name;
        const char* caption;
        SelectionPeriod period;
    } periods[] = {{"Today", "Select &Today", SelectionPeriod::Today},
                   {"PastWeek", "Select this &Week", SelectionPeriod::Week},
                   {"Selectmonth", "Select this &Month", SelectionPeriod::Month},
                   {"PastYear", "Select this &Year", SelectionPeriod::Year}};
    for (const auto& p : periods) {
        const SelectionPeriod period = p.period;
        connect(action(UserTotalMenu, p.name, QLatin1String(p.caption)), &QAction::triggered, this,
                [this, period] { PeriodSelection(period); });
    }
    connect(action(UserTotalMenu, "SelectAll", QStringLiteral("Select &All")), &QAction::triggered, this,
            &TDataForm::SelectAllClick);

    DataBankPopupMenu = new QMenu(this);
    DataBankPopupMenu->setObjectName(QStringLiteral("DataBankPopupMenu"));
    connect(action(DataBankPopupMenu, "HideColumn", QStringLiteral("Hide Column")), &QAction::triggered, this,
            &TDataForm::HideColumnClick);
    DataBankPopupMenu->addSeparator();
    connect(action(DataBankPopupMenu, "sortcolAscend", QStringLiteral("Sort Column in Ascending order")),
            &QAction::triggered, this, &TDataForm::sortcolAscendClick);
    connect(action(DataBankPopupMenu, "SortColDescend", QStringLiteral("Sort Column in Descending order")),
            &QAction::triggered, this, &TDataForm::SortColDescendClick);
}
