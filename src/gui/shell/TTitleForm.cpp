#include "gui/shell/TTitleForm.h"

#include "gui/shell/ScreenPlace.h"
#include "gui/shell/ShellPictures.h"
#include "gui/shell/TypeScale.h"

#include <QApplication>
#include <QEventLoop>
#include <QFrame>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const QSize DrawnSize(405, 287);

QLabel* whiteText(QWidget* parent, const char* name, const QString& text, int pixels) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(ShellPictures::titleFont(pixels));
    QPalette white = label->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(white);
    return label;
}

QLabel* picture(QWidget* parent, const char* name, const QString& accessibleName, const QPixmap& pixmap) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setAccessibleName(accessibleName);
    label->setPixmap(pixmap);
    return label;
}
} // namespace

TTitleForm::TTitleForm(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("TitleForm"));
    setWindowTitle(QStringLiteral("Dialtally Pro v1.0"));
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("TitlePanel"));
    panel->setFrameStyle(QFrame::Box | QFrame::Plain);
    QPalette frame = panel->palette();
    frame.setColor(QPalette::WindowText, QColor(0, 128, 128));
    panel->setPalette(frame);

    const qreal ratio = devicePixelRatioF();
    QLabel* clock = picture(panel, "TitleClock", QStringLiteral("Clock"),
                            ShellPictures::standingClock(QSize(45, 53), ratio));
    QLabel* title = picture(panel, "TitlePicture", QStringLiteral("Dialtally Pro"),
                            ShellPictures::title(QSize(360, 80), ratio));
    QLabel* status = whiteText(panel, "StatusText", QStringLiteral("Initializing..."), 16);
    QLabel* product = whiteText(panel, "ProductText", QStringLiteral("Dialtally Pro. v1.0"), 13);

    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(9, 11, 9, 7); // inside the frame
    column->setSpacing(0);
    column->addWidget(clock, 0, Qt::AlignHCenter);
    column->addSpacing(5);
    column->addWidget(title, 0, Qt::AlignHCenter);
    column->addSpacing(26);
    column->addWidget(status, 0, Qt::AlignHCenter);
    column->addStretch();
    column->addWidget(product, 0, Qt::AlignLeft);
    auto* whole = new QVBoxLayout(this);
    whole->setContentsMargins(0, 0, 0, 0);
    whole->addWidget(panel);
    TypeScale::fixSize(this, DrawnSize);
    ScreenPlace::fit(this, size());
}

void TTitleForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    QTimer::singleShot(ShownForMs, this, &TTitleForm::done);
}

void TTitleForm::showUntilDone() {
    QEventLoop wait;
    connect(this, &TTitleForm::done, &wait, &QEventLoop::quit);
    show();
    wait.exec();
}

void TTitleForm::closeShown() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (qobject_cast<TTitleForm*>(window))
            window->close();
    }
}
