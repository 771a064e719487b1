#include "gui/setup/NumbersPage.h"

#include "core/calllog/DialledNumber.h"
#include "core/seams/Prompter.h"
#include "core/seams/Services.h"
#include "core/settings/SettingsFile.h"
#include "core/tariff/Costing.h"
#include "core/viewer/CallLogViewer.h"
#include "gui/widgets/FormRules.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTableWidget>
#include <QVBoxLayout>

using FormRules::make;

namespace {

QLabel* note(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    QFont small = label->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    label->setFont(small);
    return label;
}

// One rule a line, as the box shows them.
QString rulesLines(const std::vector<NumberPlan::Rule>& rules) {
    return NumberPlan::rulesText(rules).replace(QStringLiteral(", "), QStringLiteral("\n"));
}

} // namespace

NumbersPage::NumbersPage(const Services& services, QWidget* parent)
    : QWidget(parent), m_services(services), m_directory(services.programDirectory) {
    setObjectName(QStringLiteral("NumbersPage"));
    auto* plan = make<QGroupBox>(this, "NumberPlanGroup");
    plan->setTitle(QStringLiteral("Number plan"));
    auto* book = make<QGroupBox>(this, "AddressBookGroup");
    book->setTitle(QStringLiteral("Address book"));
    buildPlanGroup(plan);
    buildBookGroup(book);
    auto* page = new QHBoxLayout(this);
    page->setContentsMargins(8, 8, 8, 8);
    page->addWidget(plan, 1);
    page->addWidget(book, 1);
}

void NumbersPage::buildPlanGroup(QWidget* group) {
    m_starters = make<QComboBox>(group, "StarterTableBox");
    for (const NumberPlan::Starter& starter : NumberPlan::starters())
        m_starters->addItem(starter.country);
    auto* fill = make<QPushButton>(group, "StarterTableButton");
    fill->setText(QStringLiteral("&Fill in"));
    fill->setAutoDefault(false);
    fill->setToolTip(QStringLiteral("Puts the country's code and its table of prefixes in the boxes below"));
    connect(fill, &QPushButton::clicked, this, &NumbersPage::StarterTableClick);

    const auto codeBox = [group](const char* name) {
        auto* box = make<QLineEdit>(group, name);
        box->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,8}")), box));
        box->setMaximumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("00000000")) + 16);
        return box;
    };
    m_countryCode = codeBox("CountryCodeBox");
    m_countryCode->setToolTip(QStringLiteral("Your country's calling code, without + or 00 (44, 49, ...)"));
    m_areaCode = codeBox("AreaCodeBox");
    m_areaCode->setToolTip(QStringLiteral("Your own area code as you dial it at home (020, 030, ...)"));
    m_rules = make<QPlainTextEdit>(group, "RulesBox");
    m_rules->setTabChangesFocus(true);
    m_rules->setPlaceholderText(QStringLiteral("00 International\n07 National\n0 National"));
    m_rules->setFixedHeight(m_rules->fontMetrics().lineSpacing() * 7 + 12);
    m_tryNumber = make<QLineEdit>(group, "TryNumberBox");
    m_tryNumber->setToolTip(QStringLiteral("Type a number to see the distance the plan gives it"));
    m_tryResult = make<QLabel>(group, "TryNumberResult");
    connect(m_tryNumber, &QLineEdit::textChanged, this, &NumbersPage::tryNumber);
    for (QLineEdit* box : {m_countryCode, m_areaCode})
        connect(box, &QLineEdit::textChanged, this, &NumbersPage::tryNumber);
    connect(m_rules, &QPlainTextEdit::textChanged, this, &NumbersPage::tryNumber);

    auto* starterRow = new QHBoxLayout;
    starterRow->addWidget(m_starters, 1);
    starterRow->addWidget(fill);
    auto* tryRow = new QHBoxLayout;
    tryRow->addWidget(m_tryNumber, 1);
    tryRow->addWidget(m_tryResult, 1);
    // A row of several controls gets its label's shortcut from a buddy of its own.
    const auto labelFor = [group](const QString& text, QWidget* buddy) {
        auto* label = new QLabel(text, group);
        label->setBuddy(buddy);
        return label;
    };
    auto* form = new QFormLayout;
    form->addRow(labelFor(QStringLiteral("Starter &table:"), m_starters), starterRow);
    form->addRow(QStringLiteral("&Country code:"), m_countryCode);
    form->addRow(QStringLiteral("Own &area code:"), m_areaCode);
    form->addRow(QStringLiteral("&Rules:"), m_rules);
    form->addRow(labelFor(QStringLiteral("Tr&y a number:"), m_tryNumber), tryRow);
    auto* layout = new QVBoxLayout(group);
    layout->addLayout(form);
    layout->addWidget(note(QStringLiteral("A prefix and Local, Regional, National or International on each "
                                          "line. A number in your own area is Local; otherwise the longest "
                                          "prefix it starts with decides, and one that no prefix fits is "
                                          "Local. With rules, a sensed call's distance is chosen from its "
                                          "number when it starts."),
                           group));
    layout->addStretch(1);
}

void NumbersPage::buildBookGroup(QWidget* group) {
    m_book = make<QTableWidget>(group, "AddressBookTable", QStringLiteral("Address book"));
    m_book->setColumnCount(2);
    m_book->setHorizontalHeaderLabels({QStringLiteral("Number or start"), QStringLiteral("Name")});
    m_book->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_book->horizontalHeader()->setStretchLastSection(true);
    m_book->verticalHeader()->hide();
    m_book->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_book->setTabKeyNavigation(false);
    auto* add = make<QPushButton>(group, "AddEntryButton");
    add->setText(QStringLiteral("A&dd"));
    add->setAutoDefault(false);
    connect(add, &QPushButton::clicked, this, &NumbersPage::AddEntryClick);
    auto* remove = make<QPushButton>(group, "RemoveEntryButton");
    remove->setText(QStringLiteral("Re&move"));
    remove->setAutoDefault(false);
    connect(remove, &QPushButton::clicked, this, &NumbersPage::RemoveEntryClick);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(add);
    buttons->addWidget(remove);
    m_bookProblem = make<QLabel>(group, "AddressBookProblem");
    m_bookProblem->setWordWrap(true);
    m_bookProblem->hide();
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(m_bookProblem);
    layout->addWidget(m_book, 1);
    layout->addLayout(buttons);
    layout->addWidget(note(QStringLiteral("A name stands for a number, or for every number that starts "
                                          "with it (a provider's access numbers); the longest start wins. "
                                          "The log viewer's Number column, the Spending window and the "
                                          "command line show the name."),
                           group));
}

void NumbersPage::ReadIniSettings(const SettingsSnapshot& settings) {
    m_planRead = NumberPlan::read(settings);
    m_countryCode->setText(m_planRead.countryCode);
    m_areaCode->setText(m_planRead.areaCode);
    m_rules->setPlainText(rulesLines(m_planRead.rules));
    QString reason;
    const QString path = AddressBook::pathIn(m_directory);
    const std::optional<AddressBook> book = AddressBook::read(path, &reason);
    // A book that cannot be read is written over only once names are typed in its place.
    m_bookRead = book.value_or(AddressBook());
    showBook(m_bookRead);
    m_bookProblem->setText(book ? QString() : CallLogViewer::cannotRead(path, reason));
    m_bookProblem->setVisible(!book);
}

void NumbersPage::showBook(const AddressBook& book) {
    m_book->setRowCount(int(book.entries.size()));
    for (int row = 0; row < int(book.entries.size()); ++row) {
        m_book->setItem(row, 0, new QTableWidgetItem(book.entries[size_t(row)].number));
        m_book->setItem(row, 1, new QTableWidgetItem(book.entries[size_t(row)].name));
    }
}

std::optional<NumberPlan> NumbersPage::planShown(QString* error) const {
    NumberPlan plan;
    plan.countryCode = m_countryCode->text();
    plan.areaCode = m_areaCode->text();
    std::optional<std::vector<NumberPlan::Rule>> rules =
        NumberPlan::parseRules(m_rules->toPlainText(), error);
    if (!rules)
        return std::nullopt;
    plan.rules = std::move(*rules);
    return plan;
}

std::optional<AddressBook> NumbersPage::bookShown(QString* error, int* badRow) const {
    AddressBook book;
    for (int row = 0; row < m_book->rowCount(); ++row) {
        const auto text = [this, row](int column) {
            const QTableWidgetItem* item = m_book->item(row, column);
            return item ? item->text().trimmed() : QString();
        };
        AddressBook::Entry entry{text(0), text(1)};
        if (entry.number.isEmpty() && entry.name.isEmpty())
            continue;
        const QString wrong = AddressBook::check(entry);
        if (!wrong.isEmpty() || int(book.entries.size()) == AddressBook::MostEntries) {
            if (error)
                *error = wrong.isEmpty() ? QStringLiteral("The address book holds at most %1 names")
                                               .arg(AddressBook::MostEntries)
                                         : wrong;
            if (badRow)
                *badRow = row;
            return std::nullopt;
        }
        book.entries.push_back(entry);
    }
    return book;
}

bool NumbersPage::checkBeforeClose() {
    QString error;
    if (!planShown(&error)) {
        fail(QStringLiteral("Number plan: %1.").arg(error), m_rules);
        return false;
    }
    int row = 0;
    if (!bookShown(&error, &row)) {
        m_book->selectRow(row);
        fail(QStringLiteral("Address book: %1.").arg(error), m_book);
        return false;
    }
    return true;
}

void NumbersPage::addTo(SettingsChanges& changes) const {
    if (const std::optional<NumberPlan> plan = planShown(); plan && *plan != m_planRead)
        plan->addTo(changes);
}

bool NumbersPage::WriteIniSettings() {
    if (const std::optional<NumberPlan> plan = planShown())
        m_planRead = *plan;
    const std::optional<AddressBook> book = bookShown();
    if (book && book->entries != m_bookRead.entries) {
        const QString path = AddressBook::pathIn(m_directory);
        QString reason;
        if (!book->write(path, &reason)) {
            m_services.prompter->error(CallLogViewer::cannotWrite(path, reason));
            return false;
        }
        m_bookRead = *book;
    }
    return true;
}

void NumbersPage::StarterTableClick() {
    const int index = m_starters->currentIndex();
    if (index < 0 || index >= int(NumberPlan::starters().size()))
        return;
    const NumberPlan::Starter& starter = NumberPlan::starters()[size_t(index)];
    m_countryCode->setText(starter.countryCode);
    m_rules->setPlainText(rulesLines(*NumberPlan::parseRules(starter.rules)));
    m_areaCode->setFocus();
}

void NumbersPage::AddEntryClick() {
    const int row = m_book->rowCount();
    m_book->insertRow(row);
    m_book->setItem(row, 0, new QTableWidgetItem);
    m_book->setItem(row, 1, new QTableWidgetItem);
    m_book->setCurrentCell(row, 0);
    m_book->editItem(m_book->item(row, 0));
}

void NumbersPage::RemoveEntryClick() {
    const int row = m_book->currentRow();
    if (row >= 0)
        m_book->removeRow(row);
}

void NumbersPage::tryNumber() {
    const std::optional<QString> number = DialledNumber::clean(m_tryNumber->text());
    const std::optional<NumberPlan> plan = planShown();
    QString shown;
    if (m_tryNumber->text().trimmed().isEmpty())
        shown.clear();
    else if (!number)
        shown = QStringLiteral("not a number");
    else if (!plan)
        shown = QStringLiteral("the rules cannot be read");
    else if (const std::optional<int> distance = plan->distanceOf(*number))
        shown = distanceName(*distance);
    else
        shown = QStringLiteral("no rules: chosen by hand");
    m_tryResult->setText(shown);
}

void NumbersPage::fail(const QString& text, QWidget* control) {
    emit shownNeeded();
    control->setFocus();
    m_services.prompter->error(text);
}
