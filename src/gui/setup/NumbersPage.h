#pragma once

#include "core/calllog/AddressBook.h"
#include "core/tariff/NumberPlan.h"

#include <QWidget>

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class SettingsFile;
struct Services;

// The "Numbers" page of the configuration dialog: the number plan that
// chooses a sensed call's distance from the number dialled, and the address
// book that names numbers. Its values live in its controls; the dialog reads
// them and writes them on OK, each only when it was changed.
class NumbersPage : public QWidget {
    Q_OBJECT
public:
    explicit NumbersPage(const Services& services, QWidget* parent = nullptr);

    void ReadIniSettings(const SettingsSnapshot& settings);
    // The plan, when changed, to the keys the dialog writes in one rewrite.
    void addTo(SettingsChanges& changes) const;
    // Once those are written: the address book to its file; a failure is
    // shown, and false returned.
    bool WriteIniSettings();
    // Whether the plan and the book can be read as typed; if not, says what
    // is wrong, shows the control that holds it and returns false.
    bool checkBeforeClose();

    void StarterTableClick();
    void AddEntryClick();
    void RemoveEntryClick();

signals:
    // Something on the page must be seen to be put right.
    void shownNeeded();

private:
    void buildPlanGroup(QWidget* group);
    void buildBookGroup(QWidget* group);
    // The plan and book as the controls hold them; nothing, and what is wrong, when they cannot be read.
    std::optional<NumberPlan> planShown(QString* error = nullptr) const;
    std::optional<AddressBook> bookShown(QString* error = nullptr, int* badRow = nullptr) const;
    void showBook(const AddressBook& book);
    void tryNumber();
    void fail(const QString& text, QWidget* control);

    const Services& m_services;
    QString m_directory;
    NumberPlan m_planRead;
    AddressBook m_bookRead;

    QComboBox* m_starters = nullptr;
    QLineEdit* m_countryCode = nullptr;
    QLineEdit* m_areaCode = nullptr;
    QPlainTextEdit* m_rules = nullptr;
    QLineEdit* m_tryNumber = nullptr;
    QLabel* m_tryResult = nullptr;
    QTableWidget* m_book = nullptr;
    QLabel* m_bookProblem = nullptr;
};
