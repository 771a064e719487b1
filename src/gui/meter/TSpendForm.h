#pragma once

#include <QDialog>

class QLabel;

// The spend warning: a borderless box, always on top, that interrupts the
// user once when a call's cost reaches the spend limit. At the program's own
// font it is 325 by 150; a larger font or scale makes it grow to fit its message.
class TSpendForm : public QDialog {
    Q_OBJECT
public:
    static inline const QString Caption = QStringLiteral("Dialtally Pro - Spend Warning");
    static constexpr int StandardWidth = 325;
    static constexpr int StandardHeight = 150;

    explicit TSpendForm(QWidget* parent = nullptr);
    // Sizes the box for the message and centres it on the screen.
    void setMessage(const QString& text);
    QString message() const;

private:
    void OKButtonClick();
    void fitAndCentre();
    QLabel* MessageLabel = nullptr;
};
