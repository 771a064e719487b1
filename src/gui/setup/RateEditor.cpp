#include "gui/setup/RateEditor.h"

#include "core/storage/StoredNumber.h"
#include "gui/widgets/FormRules.h"
#include "gui/widgets/MaskedEdit.h"
#include "gui/widgets/MoneyValidator.h"

#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

struct ValueInfo {
    const char* name;
    const char* hint;
};

// Slot order of the rate file.
constexpr std::array<ValueInfo, RateEditor::ValueCount> Values = {{
    {"LocDay", "Local Daytime rate (Pence per minute)"},
    {"LocEve", "Local Evening rate (Pence per minute)"},
    {"locWend", "Local Weekend rate (Pence per minute)"},
    {"RegDay", "Regional Daytime rate (Pence per minute)"},
    {"RegEve", "Regional Evening rate (Pence per minute)"},
    {"RegWend", "Regional Weekend rate (Pence per minute)"},
    {"NatDay", "National Daytime rate (Pence per minute)"},
    {"NatEve", "National Evening rate (Pence per minute)"},
    {"NatWend", "National Weekend rate (Pence per minute)"},
    {"IntDay", "International Daytime rate (Pence per minute)"},
    {"IntEve", "International Evening rate (Pence per minute)"},
    {"IntWend", "International Weekend rate (Pence per minute)"},
    {"Tax", "Tax (%)"},
    {"Min", "Minimum Charge (In Pence)"},
    {"Conn", "Connection Charge (In Pence)"},
    {"Disc", "Discount (%)"},
}};

constexpr int RateCount = 12;
constexpr int BarMaximum = 9999;
const QString InitialValue = QStringLiteral("0.00");

// The slider position of a value text; a value outside the range goes to its
// nearer end, one that is not a number to zero.
int barPosition(const QString& text) {
    const double value = RateFileCodec::parseNumber(text).value_or(0.0) * 100.0;
    return StoredNumber::toInteger<int>(std::clamp(value, 0.0, double(BarMaximum)),
                                        StoredNumber::Rounding::Nearest)
        .value_or(0);
}

} // namespace

RateEditor::RateEditor(Prompter& prompter, QWidget* parent) : QWidget(parent), m_prompter(prompter) {
    setObjectName(QStringLiteral("RateEditor"));

    const int buttonWidth = fontMetrics().horizontalAdvance(QStringLiteral("99.99")) + 28;
    for (int i = 0; i < ValueCount; ++i) {
        auto* cell = new QFrame(this);
        cell->setObjectName(QLatin1String(Values[i].name) + QStringLiteral("Panel"));
        cell->setToolTip(QLatin1String(Values[i].hint));
        auto* cellLayout = new QHBoxLayout(cell);
        cellLayout->setContentsMargins(3, 3, 3, 3);
        auto* button = new QPushButton(InitialValue, cell);
        button->setObjectName(QLatin1String(Values[i].name));
        button->setToolTip(cell->toolTip());
        button->setCheckable(true);
        // Space presses a value; Enter stays with the dialog's default button.
        button->setAutoDefault(false);
        button->setMinimumWidth(std::max(buttonWidth, button->minimumSizeHint().width()));
        cellLayout->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, i] { valueButtonClick(i); });
        m_cells[i] = cell;
        m_buttons[i] = button;
    }

    m_columnHeaders = {makeHeader(tr("Daytime"), QStringLiteral("DayHeader")),
                       makeHeader(tr("Evening"), QStringLiteral("EveHeader")),
                       makeHeader(tr("Weekend"), QStringLiteral("WendHeader"))};
    m_rowHeaders = {makeHeader(tr("Local"), QStringLiteral("LocHeader")),
                    makeHeader(tr("Regional"), QStringLiteral("RegHeader")),
                    makeHeader(tr("National"), QStringLiteral("NatHeader")),
                    makeHeader(tr("International"), QStringLiteral("IntHeader"))};
    for (QLabel* header : m_rowHeaders)
        header->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_chargeLabels = {makeHeader(tr("Tax"), QStringLiteral("TaxLabel")),
                      makeHeader(tr("Min. Charge"), QStringLiteral("MinLabel")),
                      makeHeader(tr("Conn. Charge"), QStringLiteral("ConnLabel")),
                      makeHeader(tr("Discount"), QStringLiteral("DiscLabel"))};

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    for (int column = 0; column < 3; ++column)
        grid->addWidget(m_columnHeaders[column], 0, column + 1);
    for (int row = 0; row < 4; ++row) {
        grid->addWidget(m_rowHeaders[row], row + 1, 0);
        for (int column = 0; column < 3; ++column)
            grid->addWidget(m_cells[row * 3 + column], row + 1, column + 1);
    }

    // The call-level values: each label above its value.
    auto* charges = new QGridLayout;
    charges->setHorizontalSpacing(6);
    charges->setVerticalSpacing(2);
    for (int i = 0; i < 4; ++i) {
        charges->addWidget(m_chargeLabels[i], 0, i);
        charges->addWidget(m_cells[RateCount + i], 1, i);
    }

    auto* intro = new QLabel(tr("Click on the rates to adjust the values"), this);
    intro->setObjectName(QStringLiteral("RatesIntroLabel"));
    intro->setAlignment(Qt::AlignCenter);
    auto* unit = new QLabel(tr("All Rates in Pence per Minute (exc. Tax)"), this);
    unit->setObjectName(QStringLiteral("RatesUnitLabel"));
    unit->setAlignment(Qt::AlignCenter);

    auto* centreGrid = new QHBoxLayout;
    centreGrid->addStretch();
    centreGrid->addLayout(grid);
    centreGrid->addStretch();
    auto* centreCharges = new QHBoxLayout;
    centreCharges->addStretch();
    centreCharges->addLayout(charges);
    centreCharges->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(intro);
    layout->addLayout(centreGrid);
    layout->addWidget(unit);
    layout->addSpacing(6);
    layout->addLayout(centreCharges);

    m_dataBar = makeDataBar();
    ClearAll();
}

QLabel* RateEditor::makeHeader(const QString& text, const QString& name) {
    auto* header = new QLabel(text, this);
    header->setObjectName(name);
    header->setAlignment(Qt::AlignCenter);
    header->setMargin(2);
    header->setLineWidth(1);
    return header;
}

QWidget* RateEditor::makeDataBar() {
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("DataBarPanel"));

    m_flashLeft = new QFrame(bar);
    m_flashLeft->setObjectName(QStringLiteral("FlashPanelLeft"));
    m_flashRight = new QFrame(bar);
    m_flashRight->setObjectName(QStringLiteral("FlashPanelRight"));
    for (QFrame* frame : {m_flashLeft, m_flashRight}) {
        frame->setFrameStyle(QFrame::Box | QFrame::Plain);
        frame->setLineWidth(2);
        frame->setFixedWidth(14);
        QPalette red = frame->palette();
        red.setColor(QPalette::WindowText, Qt::red);
        frame->setPalette(red);
        // Blinking must not move the controls between the frames.
        FormRules::keepSpaceWhenHidden(frame);
    }

    auto* caption = new QLabel(tr("Use the controls to adjust the rate"), bar);
    caption->setObjectName(QStringLiteral("DataBarCaption"));

    m_bar = new QScrollBar(Qt::Horizontal, bar);
    m_bar->setObjectName(QStringLiteral("DataChangeBar"));
    m_bar->setRange(0, BarMaximum);
    m_bar->setSingleStep(1);
    m_bar->setPageStep(50);
    m_bar->setFocusPolicy(Qt::StrongFocus);
    m_bar->setMinimumWidth(260);
    m_bar->setToolTip(tr("Slide to change the value"));
    connect(m_bar, &QScrollBar::valueChanged, this, &RateEditor::DataChangeBarChange);

    auto* scale = new QHBoxLayout;
    scale->setContentsMargins(0, 0, 0, 0);
    const QStringList marks = {QStringLiteral("0"), QStringLiteral("25"), QStringLiteral("50"),
                               QStringLiteral("75"), QStringLiteral("100")};
    for (int i = 0; i < marks.size(); ++i) {
        if (i > 0)
            scale->addStretch();
        auto* mark = new QLabel(marks[i], bar);
        mark->setObjectName(QStringLiteral("DataBarScale") + marks[i]);
        scale->addWidget(mark);
    }

    m_box = new MaskedEdit(m_prompter, new MoneyValidator, QStringLiteral("00.00"), bar);
    m_box->setObjectName(QStringLiteral("DataEditBox"));
    m_box->setValue(MoneyValidator::fixedText(0));
    m_box->setAlignment(Qt::AlignRight);
    m_box->setToolTip(tr("Type the value"));
    m_box->installEventFilter(this);
    connect(m_box, &MaskedEdit::left, this, &RateEditor::DataEditBoxExit);

    m_tick = new QPushButton(QStringLiteral("\u2713"), bar);
    m_tick->setObjectName(QStringLiteral("DataEditBoxTick"));
    m_tick->setAccessibleName(tr("Apply"));
    m_tick->setToolTip(tr("Apply the typed value"));
    m_tick->setAutoDefault(false);
    m_tick->setEnabled(false);
    m_tick->setFixedWidth(m_tick->sizeHint().height() + 8);
    connect(m_tick, &QPushButton::clicked, this, &RateEditor::DataEditBoxTickClick);

    m_ok = new QPushButton(tr("OK"), bar);
    m_ok->setObjectName(QStringLiteral("ChangeDataOKButton"));
    m_ok->setToolTip(tr("Finish changing this value"));
    connect(m_ok, &QPushButton::clicked, this, &RateEditor::ChangeDataOKButtonClick);

    auto* entry = new QHBoxLayout;
    entry->addStretch();
    entry->addWidget(m_box);
    entry->addWidget(m_tick);
    entry->addSpacing(12);
    entry->addWidget(m_ok);
    entry->addStretch();

    auto* controls = new QVBoxLayout;
    controls->addWidget(caption, 0, Qt::AlignHCenter);
    controls->addLayout(scale);
    controls->addWidget(m_bar);
    controls->addLayout(entry);

    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 4, 0, 4);
    layout->addWidget(m_flashLeft);
    layout->addLayout(controls, 1);
    layout->addWidget(m_flashRight);

    m_flashTimer = new QTimer(this);
    m_flashTimer->setObjectName(QStringLiteral("FlashPanelTimer"));
    m_flashTimer->setInterval(FlashInterval);
    connect(m_flashTimer, &QTimer::timeout, this, &RateEditor::FlashPanelTimerTimer);

    bar->hide();
    bar->setEnabled(false);
    return bar;
}

RateTable RateEditor::rates() const {
    RateTable table;
    for (int i = 0; i < ValueCount; ++i)
        table.texts[i] = m_buttons[i]->text();
    return table;
}

void RateEditor::setRates(const RateTable& table) {
    for (int i = 0; i < ValueCount; ++i)
        m_buttons[i]->setText(table.texts[i]);
}

bool RateEditor::isEditing() const {
    return !m_dataBar->isHidden();
}

void RateEditor::valueButtonClick(int index) {
    QPushButton* button = m_buttons[index];
    if (!button->isChecked()) {
        // The button that was down: finish as the OK button does, which needs
        // it down to take the entry box's value.
        button->setChecked(true);
        ChangeDataOKButtonClick();
        return;
    }
    // Moving the edit to another value finishes the previous one's bookkeeping,
    // so a change made only with the slider still counts.
    for (QPushButton* other : m_buttons)
        if (other != button && other->isChecked() && other->text() != m_valueBeforeEdit)
            m_ratesModified = true;

    m_valueBeforeEdit = button->text().left(RateFileCodec::TextWidth);
    DataBarEnable();
    LiftOtherButtons(button);
    ClearAll();
    setCellHighlighted(m_cells[index], true);
    if (index < RateCount) {
        const std::array<void (RateEditor::*)(), 4> rows = {&RateEditor::Locpush, &RateEditor::Regpush,
                                                            &RateEditor::Natpush, &RateEditor::Intpush};
        const std::array<void (RateEditor::*)(), 3> columns = {&RateEditor::Daypush, &RateEditor::Evepush,
                                                               &RateEditor::Wendpush};
        (this->*rows[index / 3])();
        (this->*columns[index % 3])();
    } else {
        setHeaderHighlighted(m_chargeLabels[index - RateCount], true);
    }
    // The slider and the entry are said by the value they change.
    for (QWidget* control : std::initializer_list<QWidget*>{m_bar, m_box})
        control->setAccessibleName(QLatin1String(Values[index].hint));
    m_bar->setValue(barPosition(button->text()));
    m_bar->setFocus(Qt::OtherFocusReason);
}

void RateEditor::LiftOtherButtons(const QObject* except) {
    for (QPushButton* button : m_buttons)
        if (button != except)
            button->setChecked(false);
}

void RateEditor::ClearAll() {
    for (QFrame* cell : m_cells)
        setCellHighlighted(cell, false);
    for (QLabel* header : m_columnHeaders)
        setHeaderHighlighted(header, false);
    for (QLabel* header : m_rowHeaders)
        setHeaderHighlighted(header, false);
    for (QLabel* header : m_chargeLabels)
        setHeaderHighlighted(header, false);
}

void RateEditor::Daypush() {
    setHeaderHighlighted(m_columnHeaders[0], true);
}
void RateEditor::Evepush() {
    setHeaderHighlighted(m_columnHeaders[1], true);
}
void RateEditor::Wendpush() {
    setHeaderHighlighted(m_columnHeaders[2], true);
}
void RateEditor::Locpush() {
    setHeaderHighlighted(m_rowHeaders[0], true);
}
void RateEditor::Regpush() {
    setHeaderHighlighted(m_rowHeaders[1], true);
}
void RateEditor::Natpush() {
    setHeaderHighlighted(m_rowHeaders[2], true);
}
void RateEditor::Intpush() {
    setHeaderHighlighted(m_rowHeaders[3], true);
}

void RateEditor::setCellHighlighted(QFrame* cell, bool on) {
    QPalette palette;
    if (on)
        palette.setColor(QPalette::Window, Qt::red);
    cell->setPalette(palette);
    // Filled only when red: the normal face is the page's own.
    cell->setAutoFillBackground(on);
}

void RateEditor::setHeaderHighlighted(QLabel* header, bool on) {
    QPalette palette;
    if (on) {
        palette.setColor(QPalette::Window, Qt::red);
        palette.setColor(QPalette::WindowText, Qt::white);
    }
    header->setPalette(palette);
    header->setAutoFillBackground(on);
    header->setFrameStyle(QFrame::Panel | QFrame::Raised);
    // Without its frame the header keeps the frame's room, so highlighting moves nothing.
    const int room = on ? 0 : header->frameWidth();
    if (!on)
        header->setFrameStyle(QFrame::NoFrame);
    header->setContentsMargins(room, room, room, room);
}

void RateEditor::DataBarEnable() {
    m_dataBar->show();
    m_dataBar->setEnabled(true);
    m_flashLeft->show();
    m_flashRight->show();
    m_flashTimer->start();
    m_ok->setDefault(true);
    emit dataBarShown(true);
}

void RateEditor::DataBarDisable() {
    m_flashTimer->stop();
    m_dataBar->setEnabled(false);
    m_dataBar->hide();
    emit dataBarShown(false);
}

void RateEditor::DataChangeBarChange(int position) {
    m_box->setValue(MoneyValidator::fixedText(position));
    DataBoxToButtons();
}

void RateEditor::DataBoxToButtons() {
    m_tick->setEnabled(false);
    m_bar->setFocus(Qt::OtherFocusReason);
    const QString value = m_box->value();
    for (QPushButton* button : m_buttons)
        if (button->isChecked())
            button->setText(value);
}

void RateEditor::DataEditBoxEnter() {
    m_tick->setEnabled(true);
    m_ratesModified = true;
}

void RateEditor::DataEditBoxExit() {
    applyEntryBox();
}

void RateEditor::DataEditBoxTickClick() {
    applyEntryBox();
}

void RateEditor::applyEntryBox() {
    // An incomplete entry is refused by the box itself and never applied.
    if (!m_box->isComplete())
        return;
    m_bar->setValue(barPosition(m_box->value()));
    DataBoxToButtons();
}

QPushButton* RateEditor::buttonDown() const {
    // Tax, Min, Disc, Conn: the order in which the values were always looked at.
    static constexpr std::array<int, ValueCount> order = {0, 1, 2,  3,  4,  5,  6,  7,
                                                          8, 9, 10, 11, 12, 13, 15, 14};
    for (int index : order)
        if (m_buttons[index]->isChecked())
            return m_buttons[index];
    return nullptr;
}

QString RateEditor::ButtonDownValue() const {
    const QPushButton* button = buttonDown();
    return button ? button->text() : QString();
}

void RateEditor::ChangeDataOKButtonClick() {
    if (!m_box->isComplete()) {
        // Reached with Enter from the box itself; a click elsewhere has already
        // been refused by the box losing the focus.
        if (m_box->hasFocus())
            m_box->checkComplete();
        return;
    }
    QPushButton* edited = buttonDown();
    applyEntryBox();
    DataBarDisable();
    if (ButtonDownValue() != m_valueBeforeEdit)
        m_ratesModified = true;
    ClearAll();
    LiftOtherButtons(m_ok);
    if (edited)
        edited->setFocus(Qt::OtherFocusReason);
}

void RateEditor::FlashPanelTimerTimer() {
    const bool show = m_flashLeft->isHidden();
    m_flashLeft->setVisible(show);
    m_flashRight->setVisible(show);
}

bool RateEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_box && event->type() == QEvent::FocusIn) {
        if (FormRules::isUserFocusMove(static_cast<QFocusEvent*>(event)->reason()))
            DataEditBoxEnter();
    }
    return QWidget::eventFilter(watched, event);
}
