#include "gui/meter/TSpendForm.h"

#include "core/tariff/Costing.h"
#include "gui/meter/ClockFrames.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

TSpendForm::TSpendForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("SpendForm"));
    setWindowTitle(Caption);
    setFixedSize(325, 150);
    setAutoFillBackground(true);
    QPalette frame = palette();
    frame.setColor(QPalette::Window, Qt::red);
    setPalette(frame);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("SpendPanel"));
    panel->setGeometry(10, 10, 305, 130);
    panel->setAutoFillBackground(true);
    QPalette black = panel->palette();
    black.setColor(QPalette::Window, Qt::black);
    black.setColor(QPalette::WindowText, Qt::yellow);
    panel->setPalette(black);

    auto* logo = new QLabel(panel);
    logo->setObjectName(QStringLiteral("Logo"));
    logo->setPixmap(ClockFrames::frame(1).scaled(48, 48, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    logo->setGeometry(12, 14, 48, 48);

    MessageLabel = new QLabel(panel);
    MessageLabel->setObjectName(QStringLiteral("MessageLabel"));
    MessageLabel->setGeometry(70, 10, 226, 70);
    MessageLabel->setWordWrap(true);
    MessageLabel->setAlignment(Qt::AlignCenter);
    QFont font = MessageLabel->font();
    font.setPixelSize(16);
    font.setBold(true);
    MessageLabel->setFont(font);
    MessageLabel->setText(QStringLiteral("Spend Limit of \u00a31.50 has been reached"));

    auto* ok = new QPushButton(QStringLiteral("OK"), panel);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setGeometry(115, 92, 75, 27);
    ok->setDefault(true);
    ok->setAutoDefault(true);
    connect(ok, &QPushButton::clicked, this, &TSpendForm::OKButtonClick);

    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void TSpendForm::setMessage(const QString& text) {
    MessageLabel->setText(text);
}

QString TSpendForm::message() const {
    return MessageLabel->text();
}

QString TSpendForm::messageFor(const QString& mainSymbol, double limit) {
    return QStringLiteral("Spend Limit of ") + mainSymbol + formatFixed(limit, 2) +
           QStringLiteral(" has been reached.");
}

void TSpendForm::OKButtonClick() {
    accept();
}
