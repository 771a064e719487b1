#include "gui/meter/TSpendForm.h"

#include "gui/meter/ClockFrames.h"
#include "gui/shell/ScreenPlace.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int FrameWidth = 10;
constexpr int LogoSize = 48;
// The message is a third larger than the program's type (12 points, or 16
// pixels, beside a 9-point font), so it grows with the desktop's font.
constexpr double MessageScale = 4.0 / 3.0;
} // namespace

TSpendForm::TSpendForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("SpendForm"));
    setWindowTitle(Caption);
    setAccessibleName(Caption);
    setAutoFillBackground(true);
    QPalette frame = palette();
    frame.setColor(QPalette::Window, Qt::red);
    setPalette(frame);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("SpendPanel"));
    panel->setAutoFillBackground(true);
    QPalette black = panel->palette();
    black.setColor(QPalette::Window, Qt::black);
    black.setColor(QPalette::WindowText, Qt::yellow);
    panel->setPalette(black);

    auto* logo = new QLabel(panel);
    logo->setObjectName(QStringLiteral("Logo"));
    logo->setAccessibleName(QStringLiteral("Clock"));
    const qreal ratio = devicePixelRatioF();
    QPixmap picture = ClockFrames::face(qRound(LogoSize * ratio), 0);
    picture.setDevicePixelRatio(ratio);
    logo->setPixmap(picture);
    logo->setFixedSize(LogoSize, LogoSize);

    MessageLabel = new QLabel(panel);
    MessageLabel->setObjectName(QStringLiteral("MessageLabel"));
    MessageLabel->setWordWrap(true);
    MessageLabel->setAlignment(Qt::AlignCenter);
    MessageLabel->setTextFormat(Qt::PlainText);
    QFont font = MessageLabel->font();
    font.setPointSizeF(font.pointSizeF() * MessageScale);
    font.setBold(true);
    MessageLabel->setFont(font);
    MessageLabel->setText(QStringLiteral("Spend Limit of \u00a31.50 has been reached"));

    auto* ok = new QPushButton(QStringLiteral("OK"), panel);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    ok->setAutoDefault(true);
    ok->setMinimumWidth(75);
    connect(ok, &QPushButton::clicked, this, &TSpendForm::OKButtonClick);

    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(12, 4, 10, 10);
    grid->addWidget(logo, 0, 0, Qt::AlignTop);
    grid->addWidget(MessageLabel, 0, 1);
    grid->addWidget(ok, 1, 0, 1, 2, Qt::AlignHCenter);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(0, 1);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(FrameWidth, FrameWidth, FrameWidth, FrameWidth);
    outer->addWidget(panel);
    outer->setSizeConstraint(QLayout::SetMinimumSize);
    setMinimumSize(StandardWidth, StandardHeight);
    fitAndCentre();
}

void TSpendForm::setMessage(const QString& text) {
    MessageLabel->setText(text);
    fitAndCentre();
}

QString TSpendForm::message() const {
    return MessageLabel->text();
}

// The standard width, wider only when a word of the message needs it; the
// height the wrapped message takes at that width.
void TSpendForm::fitAndCentre() {
    QLayout* box = layout();
    box->activate();
    const int width = std::max(StandardWidth, box->minimumSize().width());
    const int height = std::max(StandardHeight, box->hasHeightForWidth() ? box->totalHeightForWidth(width)
                                                                         : box->minimumSize().height());
    ScreenPlace::fit(this, QSize(width, height));
}

void TSpendForm::OKButtonClick() {
    accept();
}
