#pragma once

#include "core/tariff/BillingRules.h"

#include <QGroupBox>

#include <optional>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// The "Billing" group of the Call Charges page: the billing rules of the rate
// file shown (blocks, rounding, cap, free minutes and their bands, holidays).
class BillingEditor : public QGroupBox {
    Q_OBJECT
public:
    explicit BillingEditor(QWidget* parent = nullptr);

    void setRules(const BillingRules& rules);
    // Nothing, and why, while a control holds something that is not a rule.
    std::optional<BillingRules> rules(QString* error = nullptr) const;

    // The rate file's rules could not be read: the group says why, and stays
    // closed until other rules are set, so that nothing replaces the file unseen.
    void setUnreadable(const QString& why);
    bool isReadable() const { return m_readable; }

signals:
    // The user changed a rule.
    void edited();

private:
    void blocksChosen(int index);
    void addHoliday(const QString& text);
    void showProblem();
    void userEdit();

    QWidget* m_controls;
    QComboBox* m_blocks;
    QSpinBox* m_firstBlock;
    QSpinBox* m_nextBlock;
    QDoubleSpinBox* m_roundUpTo;
    QDoubleSpinBox* m_cap;
    QSpinBox* m_freeMinutes;
    QCheckBox* m_freeBands[3];
    QLineEdit* m_holidays;
    QPushButton* m_easterFriday;
    QPushButton* m_easterMonday;
    QLabel* m_problem;

    // The values as read, kept where a box shows them rounded and is not changed.
    BillingRules m_loaded;
    bool m_readable = true;
    bool m_setting = false;
};
