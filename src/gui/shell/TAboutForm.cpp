#include "gui/shell/TAboutForm.h"

#include "gui/shell/ShellPictures.h"

#include <QDesktopServices>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>

namespace {
const QColor DarkBlue(0, 0, 128);
const QColor Lime(0, 255, 0);
const QColor Green(0, 128, 0);
constexpr int SlideStep = 3;
constexpr int ClockStopsAbove = 7; // the clock stops this far above the title's top

void setTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

QLabel* textLine(QWidget* parent, const char* name, const QString& text, QPoint at, const QFont& font,
                 const QColor& colour) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(font);
    setTextColour(label, colour);
    label->adjustSize();
    label->move(at);
    return label;
}

// Centred across the panel at the height given.
QLabel* centredLine(QWidget* parent, const char* name, const QString& text, int top, const QFont& font,
                    const QColor& colour) {
    QLabel* label = textLine(parent, name, text, QPoint(), font, colour);
    label->move((parent->width() - label->width()) / 2, top);
    return label;
}
} // namespace

TAboutForm::TAboutForm(QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("About Dialtally Pro."));
    setFixedSize(271, 179);

    AboutPanel = new QWidget(this);
    AboutPanel->setObjectName(QStringLiteral("AboutPanel"));
    AboutPanel->setGeometry(rect());
    AboutPanel->setAutoFillBackground(true);
    QPalette blue = AboutPanel->palette();
    blue.setColor(QPalette::Window, DarkBlue);
    AboutPanel->setPalette(blue);

    SlideTitle = new QLabel(AboutPanel);
    SlideTitle->setObjectName(QStringLiteral("SlideTitle"));
    SlideTitle->setGeometry(246, 12, 200, 39);
    SlideTitle->setPixmap(ShellPictures::title(SlideTitle->size()));
    SlideClock = new QLabel(AboutPanel);
    SlideClock->setObjectName(QStringLiteral("SlideClock"));
    SlideClock->setGeometry(5, 190, 45, 53);
    SlideClock->setPixmap(ShellPictures::standingClock(SlideClock->size()));

    Label1 = textLine(AboutPanel, "Label1", QStringLiteral("Version 1.0"), QPoint(91, 56),
                      ShellPictures::titleFont(19, true), Qt::red);
    Label2 = centredLine(AboutPanel, "Label2", QStringLiteral("The call-cost meter for your modem"), 78,
                         ShellPictures::titleFont(13, false), Qt::white);
    Label4 = textLine(AboutPanel, "Label4", EmailAddress, QPoint(53, 98), ShellPictures::titleFont(13, true),
                      Green);
    Label6 = textLine(AboutPanel, "Label6", WebAddress, QPoint(49, 114), ShellPictures::titleFont(13, true),
                      Green);
    Label3 = textLine(AboutPanel, "Label3", QStringLiteral("Linux edition"), QPoint(8, 160),
                      ShellPictures::titleFont(11, false), QColor(170, 170, 220));
    Label5 = textLine(AboutPanel, "Label5", QStringLiteral("Free to use"), QPoint(0, 160),
                      ShellPictures::titleFont(11, false), QColor(170, 170, 220));
    Label5->move(AboutPanel->width() - Label5->width() - 8, 160);
    for (QLabel* link : {Label4, Label6}) {
        link->setCursor(Qt::UpArrowCursor);
        link->setToolTip(link == Label4 ? QStringLiteral("Write to the maker")
                                        : QStringLiteral("Visit the maker's web page"));
    }

    Button1 = new QPushButton(QStringLiteral("OK"), AboutPanel);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(96, 152, 75, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TAboutForm::Button1Click);

    // The two pictures slide over the text lines to their places.
    SlideTitle->raise();
    SlideClock->raise();

    for (QWidget* w :
         std::initializer_list<QWidget*>{AboutPanel, Label1, Label2, Label4, Label5, Label6, Button1}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(50);
    connect(Timer1, &QTimer::timeout, this, &TAboutForm::Timer1Timer);
    Timer1->start();

    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void TAboutForm::Timer1Timer() {
    SlideClock->move(SlideClock->x(), SlideClock->y() - SlideStep);
    SlideTitle->move(SlideTitle->x() - SlideStep, SlideTitle->y());
    if (SlideClock->y() <= SlideTitle->y() - ClockStopsAbove)
        Timer1->stop();
}

void TAboutForm::highlightLinks(QLabel* lit) {
    setTextColour(Label4, lit == Label4 ? Lime : Green);
    setTextColour(Label6, lit == Label6 ? Lime : Green);
}

bool TAboutForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        highlightLinks(qobject_cast<QLabel*>(watched));
        return true; // not passed on to the panel, which would put both links back
    }
    // A link opens as a button does: pressed and released with the left
    // button, the pointer still over it.
    if (watched != Label4 && watched != Label6)
        return QDialog::eventFilter(watched, event);
    auto* link = static_cast<QLabel*>(watched);
    if (event->type() == QEvent::MouseButtonPress) {
        m_pressedLink = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton ? link : nullptr;
    } else if (event->type() == QEvent::MouseButtonRelease) {
        const auto* release = static_cast<QMouseEvent*>(event);
        const bool click = m_pressedLink == link && release->button() == Qt::LeftButton &&
                           link->rect().contains(release->position().toPoint());
        m_pressedLink = nullptr;
        if (click && link == Label4)
            Label4Click();
        else if (click)
            Label6Click();
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutForm::Label4Click() {
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + Label4->text()));
}

void TAboutForm::Label6Click() {
    QDesktopServices::openUrl(QUrl(Label6->text()));
}

void TAboutForm::Button1Click() {
    accept();
}
