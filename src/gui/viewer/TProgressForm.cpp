#include "gui/viewer/TProgressForm.h"

#include "gui/shell/ScreenPlace.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

namespace {
constexpr int BarLeft = 22;
constexpr int BarTop = 44;
constexpr int BarWidth = 313;
// A window manager maps a window in a few milliseconds; a slow one is not waited for longer.
constexpr int MapWaitMs = 500;
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
    ProgressBar->setAccessibleName(QStringLiteral("Progress"));
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
    // A long file name is cut in its middle, not at the window's edge.
    SideLabel->setText(SideLabel->fontMetrics().elidedText(text, Qt::ElideMiddle, SideLabel->width()));
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
        ScreenPlace::fit(this, size());
        show();
    }
    waitUntilMapped();
    repaint();
}

void TProgressForm::waitUntilMapped() {
    // A window just shown can be drawn only once the window system has mapped
    // it (again, after a hide), which takes a turn of the event loop. Only that
    // turn is taken, without the user's input and without sockets (a
    // termination signal is handled once the command is done). The caller
    // shows this window before it opens the log, so a call the meter logs
    // meanwhile is in what it reads, and the viewer does not close under it.
    if (testAttribute(Qt::WA_Mapped))
        return;
    QDeadlineTimer deadline(MapWaitMs);
    QTimer wake; // so that waiting for events ends in time
    wake.start(MapWaitMs / 10);
    while (!testAttribute(Qt::WA_Mapped) && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::ExcludeSocketNotifiers | QEventLoop::WaitForMoreEvents);
}

void TProgressForm::setPosition(int percent) {
    ProgressBar->setValue(std::clamp(percent, 0, 100));
}

void TProgressForm::hideProgress() {
    hide();
}
