#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTimer;
struct Services;

// The about box: the title slides in from the right and the clock rises from
// below, then the version, the licence, where the user's data is kept (a link
// that opens the folder) and a button to the help.
class TAboutForm : public QDialog {
    Q_OBJECT
public:
    static inline const QString Licence = QStringLiteral("Licence: proprietary, all rights reserved.");
    static constexpr int HelpTopic = 1;

    explicit TAboutForm(const Services& services, QWidget* parent = nullptr);

    void Timer1Timer();
    void Label4Click();
    void HelpButtonClick();
    void Button1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void highlightLink(bool lit);

    const Services& m_services;
    QWidget* AboutPanel;
    QLabel* SlideTitle;
    QLabel* SlideClock;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QPushButton* HelpButton;
    QPushButton* Button1;
    QTimer* Timer1;
    bool m_linkPressed = false;
};
