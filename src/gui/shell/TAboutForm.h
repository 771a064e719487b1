#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTimer;

// The about box: the title slides in from the right and the clock rises from
// below, then the version and the maker's two links.
class TAboutForm : public QDialog {
    Q_OBJECT
public:
    static inline const QString EmailAddress = QStringLiteral("dialtally@example.org");
    static inline const QString WebAddress = QStringLiteral("https://dialtally.example.org/");

    explicit TAboutForm(QWidget* parent = nullptr);

    void Timer1Timer();
    void Label4Click();
    void Label6Click();
    void Button1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void highlightLinks(QLabel* lit);

    QWidget* AboutPanel;
    QLabel* SlideTitle;
    QLabel* SlideClock;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QPushButton* Button1;
    QTimer* Timer1;
    QLabel* m_pressedLink = nullptr;
};
