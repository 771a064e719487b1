#pragma once

#include <QDialog>

class QLabel;

// The spend warning: a borderless box, always on top, that interrupts the
// user once when a call's cost reaches the spend limit.
class TSpendForm : public QDialog {
    Q_OBJECT
public:
    static inline const QString Caption = QStringLiteral("Dialtally Pro - Spend Warning");

    explicit TSpendForm(QWidget* parent = nullptr);
    void setMessage(const QString& text);
    QString message() const;

    // "Spend Limit of <symbol><limit 0.00> has been reached."
    static QString messageFor(const QString& mainSymbol, double limit);

private:
    void OKButtonClick();
    QLabel* MessageLabel = nullptr;
};
