#include "gui/shell/TTitleForm.h"

#include "gui/shell/ShellPictures.h"

#include <QApplication>
#include <QEventLoop>
#include <QFrame>
#include <QLabel>
#include <QScreen>
#include <QTimer>

namespace {
QLabel* whiteText(QWidget* parent, const char* name, const QString& text, int pixels) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(ShellPictures::titleFont(pixels));
    QPalette white = label->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(white);
    label->adjustSize();
    return label;
}
} // namespace

TTitleForm::TTitleForm(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("TitleForm"));
    setWindowTitle(QStringLiteral("Dialtally Pro v1.0"));
    setFixedSize(405, 287);
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("TitlePanel"));
    panel->setGeometry(rect());
    panel->setFrameStyle(QFrame::Box | QFrame::Plain);
    QPalette frame = panel->palette();
    frame.setColor(QPalette::WindowText, QColor(0, 128, 128));
    panel->setPalette(frame);

    auto* picture = new QLabel(panel);
    picture->setObjectName(QStringLiteral("TitlePicture"));
    picture->setPixmap(ShellPictures::title(QSize(360, 80)));
    picture->setGeometry(22, 70, 360, 80);
    auto* clock = new QLabel(panel);
    clock->setObjectName(QStringLiteral("TitleClock"));
    clock->setPixmap(ShellPictures::standingClock(QSize(45, 53)));
    clock->setGeometry(180, 12, 45, 53);

    QLabel* status = whiteText(panel, "StatusText", QStringLiteral("Initializing..."), 16);
    status->move((width() - status->width()) / 2, 176);
    QLabel* product = whiteText(panel, "ProductText", QStringLiteral("Dialtally Pro. v1.0"), 13);
    product->move(10, height() - product->height() - 8);

    if (const QScreen* screen = this->screen())
        move(screen->geometry().center() - rect().center());
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
