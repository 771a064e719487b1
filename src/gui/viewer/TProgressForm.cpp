#include "gui/viewer/TProgressForm.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>

namespace {
constexpr int BarLeft = 22;
constexpr int BarTop = 44;
constexpr int BarWidth = 313;
} // namespace

TProgressForm::TProgressForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("TProgressForm"));
    setWindowTitle(QStringLiteral("Processing..."));
    setFixedSize(357, 107);

    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setRange(0, 100);
    ProgressBar->setTextVisible(false);
    ProgressBar->setGeometry(BarLeft, BarTop, BarWidth, 20);

    SideLabel = new QLabel(this);
    SideLabel->setObjectName(QStringLiteral("SideLabel"));
    SideLabel->setGeometry(BarLeft, BarTop - 26, BarWidth, 20);
    CenterLabel = new QLabel(this);
    CenterLabel->setObjectName(QStringLiteral("CenterLabel"));
    CenterLabel->setAlignment(Qt::AlignCenter);
    CenterLabel->setGeometry(0, BarTop, width(), 20);

    const char* const percents[] = {"0%", "25%", "50%", "75%", "100%"};
    for (int i = 0; i < 5; ++i) {
        auto* label = new QLabel(QLatin1String(percents[i]), this);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        const int centre = BarLeft + BarWidth * i / 4;
        label->setGeometry(centre - 20, BarTop + 24, 40, 18);
        m_percentLabels << label;
    }
}

void TProgressForm::WithProgress(const QString& caption, const QString& text) {
    SideLabel->setText(text);
    showAtOnce(caption, true);
}

void TProgressForm::WithOutProgress(const QString& caption, const QString& text) {
    CenterLabel->setText(text);
    showAtOnce(caption, false);
}

void TProgressForm::showAtOnce(const QString& caption, bool withBar) {
    setWindowTitle(caption);
    CenterLabel->setVisible(!withBar);
    SideLabel->setVisible(withBar);
    ProgressBar->setVisible(withBar);
    for (QLabel* label : std::as_const(m_percentLabels))
        label->setVisible(withBar);
    ProgressBar->setValue(0);
    if (!isVisible()) {
        if (const QScreen* screen =
                parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
        show();
    }
    repaint();
}

void TProgressForm::setPosition(int percent) {
    ProgressBar->setValue(std::clamp(percent, 0, 100));
}

void TProgressForm::hideProgress() {
    hide();
}
