#pragma once

#include "core/tariff/RateFile.h"

#include <QWidget>

#include <array>

class MaskedEdit;
class Prompter;
class QFrame;
class QLabel;
class QPushButton;
class QScrollBar;
class QTimer;

// The grid of the sixteen values of one rate table on the "Call Charges" page,
// with the slider, entry box and apply button that change the value whose
// button is down. Values are held as the text on their buttons, never as
// numbers, so a value loaded from a file is written back unchanged unless it
// is edited.
class RateEditor : public QWidget {
    Q_OBJECT
public:
    static constexpr int ValueCount = RateTable::SlotCount;
    static constexpr int FlashInterval = 700;

    explicit RateEditor(Prompter& prompter, QWidget* parent = nullptr);

    // The button texts in slot order (LocDay .. IntWend, Tax, Min, Conn, Disc).
    RateTable rates() const;
    void setRates(const RateTable& table);

    bool RatesModified() const { return m_ratesModified; }
    void setRatesModified(bool modified) { m_ratesModified = modified; }
    const QString& ValueBeforeEdit() const { return m_valueBeforeEdit; }
    bool isEditing() const;

    // The adjusting controls; the page lays them out where its rate-file
    // controls stand, since only one of the two shows at a time.
    QWidget* dataBar() const { return m_dataBar; }

    void LiftOtherButtons(const QObject* except);
    void ClearAll();
    void Daypush();
    void Evepush();
    void Wendpush();
    void Locpush();
    void Regpush();
    void Natpush();
    void Intpush();
    void DataBarEnable();
    void DataBarDisable();
    void DataChangeBarChange(int position);
    void DataBoxToButtons();
    void DataEditBoxEnter();
    void DataEditBoxExit();
    void DataEditBoxTickClick();
    QString ButtonDownValue() const;
    void ChangeDataOKButtonClick();
    // Finishes editing with the value as it was before, and the rates as
    // modified as they were.
    void ChangeDataCancel();
    void FlashPanelTimerTimer();

signals:
    // The adjusting controls were shown (editing began) or hidden.
    void dataBarShown(bool shown);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* makeHeader(const QString& text, const QString& name);
    QWidget* makeDataBar();
    void valueButtonClick(int index);
    void applyEntryBox();
    void setCellHighlighted(QFrame* cell, bool on);
    void setHeaderHighlighted(QLabel* header, bool on);
    QPushButton* buttonDown() const;
    void closeDataBar(QPushButton* edited);

    Prompter& m_prompter;
    std::array<QPushButton*, ValueCount> m_buttons{};
    std::array<QFrame*, ValueCount> m_cells{};
    std::array<QLabel*, 3> m_columnHeaders{};
    std::array<QLabel*, 4> m_rowHeaders{};
    std::array<QLabel*, 4> m_chargeLabels{};

    QWidget* m_dataBar = nullptr;
    QScrollBar* m_bar = nullptr;
    MaskedEdit* m_box = nullptr;
    QPushButton* m_tick = nullptr;
    QPushButton* m_ok = nullptr;
    QFrame* m_flashLeft = nullptr;
    QFrame* m_flashRight = nullptr;
    QTimer* m_flashTimer = nullptr;

    QString m_valueBeforeEdit;
    bool m_ratesModified = false;
    bool m_modifiedBeforeEdit = false;
};
