#pragma once

#include <QDialog>

class MaskedEdit;
class QLineEdit;
class QPushButton;
struct Services;

// The wizard's last page: the user's own tariff, so that the first call is
// priced. It is saved as a rate file, made the active one, and its daytime
// band stored; the other distances get the local rates until the user sets
// them in Setup. It may be skipped (or closed), which writes nothing.
class TTariffForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpTopic = 9;
    static constexpr int NameLength = 30; // what the call log keeps of a rate name

    explicit TTariffForm(const Services& services, QWidget* parent = nullptr);

    // False, with the form left open, when something is refused or cannot be written.
    bool FinishButtonClick();
    void SkipButtonClick();
    void HelpButtonClick();

protected:
    void reject() override;

private:
    MaskedEdit* moneyBox(const char* name, const QString& hint = QString());
    MaskedEdit* timeBox(const char* name, const QString& time);
    bool checkTime(MaskedEdit* box);

    const Services& m_services;
    QLineEdit* m_name;
    MaskedEdit* m_locDay;
    MaskedEdit* m_locEve;
    MaskedEdit* m_locWend;
    MaskedEdit* m_tax;
    MaskedEdit* m_min;
    MaskedEdit* m_conn;
    MaskedEdit* m_dayTimeStart;
    MaskedEdit* m_dayTimeEnd;
    QPushButton* m_finish;
};
