// The viewer's controls, menus and timers, by the names the rest of the
// program and the tests know them by.
#include "gui/viewer/TDataForm.h"

#include "gui/widgets/FormRules.h"

#include <QAction>
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
};

template <typename T> T* make(QWidget* parent, const char* name) {
    auto* w = new T(parent);
    w->setObjectName(QLatin1String(name));
    return w;
}

QAction* action(QMenu* menu, const char* name, const QString& caption) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    return a;
}

// An arrow pointing up or down, its head as wide as the picture.
QPixmap arrowPicture(int width, int height, bool up) {
    QPixmap picture(width, height);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 128));
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

} // namespace

void TDataForm::buildLayout() {
    setObjectName(QStringLiteral("TDataForm"));
    setWindowTitle(Caption);
    resize(656, 431);

    SecondLeftPanel = make<QFrame>(this, "SecondLeftPanel");
    SecondLeftPanel->setFrameShape(QFrame::StyledPanel);
    SecondLeftPanel->setToolTip(QStringLiteral("This panel shows the current sort order of the data"));
    SecondLeftPanel->setFixedWidth(84);
    SecondLeftPanel->setMinimumHeight(320);
    auto label = [this](const char* name, int y) {
        auto* l = make<QLabel>(SecondLeftPanel, name);
        l->setAlignment(Qt::AlignCenter);
        l->setGeometry(2, y, 80, 20);
        return l;
    };
    TopSortLabel = label("TopSortLabel", 10);
    SortOrder = label("SortOrder", 158);
    QFont bold = SortOrder->font();
    bold.setBold(true);
    SortOrder->setFont(bold);
    BottomSortLabel = label("BottomSortLabel", 292);
    const struct {
        const char* name;
        QRect place;
        bool up;
    } arrows[] = {{"SmallUpArrow", {32, 110, 20, 40}, true},
                  {"LargeUpArrow", {28, 186, 28, 96}, true},
                  {"LargeDownArrow", {28, 44, 28, 96}, false},
                  {"SmallDownArrow", {32, 176, 20, 40}, false}};
    for (size_t i = 0; i < m_arrows.size(); ++i) {
        m_arrows[i] = make<QLabel>(SecondLeftPanel, arrows[i].name);
        m_arrows[i]->setGeometry(arrows[i].place);
        m_arrows[i]->setPixmap(arrowPicture(arrows[i].place.width(), arrows[i].place.height(), arrows[i].up));
    }

    DataBank = make<QTableView>(this, "DataBank");
    DataBank->setModel(&m_viewer->model());
    DataBank->setSelectionBehavior(QAbstractItemView::SelectRows);
    DataBank->setSelectionMode(QAbstractItemView::ContiguousSelection);
    DataBank->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DataBank->setFocusPolicy(Qt::ClickFocus);
    DataBank->setWordWrap(false);
    DataBank->setContextMenuPolicy(Qt::CustomContextMenu);
    // The columns' widths were chosen for a small font.
    QFont small = DataBank->font();
    small.setPointSizeF(std::min(small.pointSizeF(), 8.0));
    DataBank->setFont(small);
    DataBank->horizontalHeader()->setFont(small);
    DataBank->verticalHeader()->hide();
    DataBank->verticalHeader()->setMinimumSectionSize(1);
    DataBank->verticalHeader()->setDefaultSectionSize(std::max(16, QFontMetrics(small).height() + 2));
    QHeaderView* header = DataBank->horizontalHeader();
    header->setSectionsMovable(true);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setMinimumSectionSize(0);
    header->setDefaultSectionSize(64);
    header->setContextMenuPolicy(Qt::CustomContextMenu);

    TotalPanel = make<QFrame>(this, "TotalPanel");
    TotalPanel->setFrameShape(QFrame::StyledPanel);
    TotalPanel->setToolTip(QStringLiteral("All the calls"));
    TotalCostLabel = make<QLabel>(TotalPanel, "TotalCostLabel");
    TotalCostLabel->setText(CallLogViewer::NoCallsTotals);
    auto* totalRow = new QHBoxLayout(TotalPanel);
    totalRow->setContentsMargins(8, 4, 8, 4);
    totalRow->addWidget(new QLabel(QStringLiteral("Total:"), TotalPanel));
    totalRow->addWidget(TotalCostLabel, 1);

    SelectedRecordsPanel = make<QFrame>(this, "SelectedRecordsPanel");
    SelectedRecordsPanel->setFrameShape(QFrame::StyledPanel);
    SelectedRecordsPanel->setToolTip(QStringLiteral("The selected calls"));
    SelectedAmount = make<QLabel>(SelectedRecordsPanel, "SelectedAmount");
    DeleteSelectedRecords = make<QPushButton>(SelectedRecordsPanel, "DeleteSelectedRecords");
    DeleteSelectedRecords->setText(QStringLiteral("Delete Selection"));
    DeleteSelectedRecords->setAutoDefault(false);
    auto* selectedRow = new QHBoxLayout(SelectedRecordsPanel);
    selectedRow->setContentsMargins(8, 2, 4, 2);
    selectedRow->addWidget(new QLabel(QStringLiteral("Selected:"), SelectedRecordsPanel));
    selectedRow->addWidget(SelectedAmount, 1);
    selectedRow->addWidget(DeleteSelectedRecords);
    FormRules::keepSpaceWhenHidden(SelectedRecordsPanel);
    SelectedRecordsPanel->hide();

    SelectionNotice = make<QLabel>(this, "SelectionNotice");
    SelectionNotice->setText(QStringLiteral("Selected Calls start at bottom of the table"));
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
    SelectButton = button("SelectButton", QStringLiteral("Select Calls"));
    SortButton = button("SortButton", QStringLiteral("Sort Calls"));
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

void TDataForm::buildMenus() {
    auto* bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("MainMenu"));
    layout()->setMenuBar(bar);

    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("FileMenu"));
    QMenu* exports = file->addMenu(QStringLiteral("&Export to file"));
    exports->setObjectName(QStringLiteral("ExportToFile"));
    connect(action(exports, "ExportAll", QStringLiteral("&All calls")), &QAction::triggered, this,
            &TDataForm::ExportAllClick);
    connect(action(exports, "ExportSelected", QStringLiteral("&Selected Calls")), &QAction::triggered, this,
            &TDataForm::ExportSelectedClick);
    QAction* print = action(file, "Print1", QStringLiteral("&Print..."));
    print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(print, &QAction::triggered, this, &TDataForm::Print1Click);
    connect(action(file, "PrintSetup1", QStringLiteral("P&rint Setup...")), &QAction::triggered, this,
            &TDataForm::PrintSetup1Click);
    file->addSeparator();
    QAction* compare = action(file, "CompareTariffs", QStringLiteral("&Compare Tariffs..."));
    compare->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    connect(compare, &QAction::triggered, this, &TDataForm::CompareTariffsClick);
    file->addSeparator();
    connect(action(file, "Exit1", QStringLiteral("E&xit")), &QAction::triggered, this, &QDialog::close);

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
    ResetColumns = action(columns, "ResetColumns", QStringLiteral("Restore Defaults"));
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
