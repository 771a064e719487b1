#include "gui/shell/TAboutForm.h"

#include "core/seams/HelpViewer.h"
#include "core/seams/Services.h"
#include "gui/shell/ScreenPlace.h"
#include "gui/shell/ShellPictures.h"
#include "gui/shell/TypeScale.h"

#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {
const QSize DrawnSize(271, 179);
const QColor DarkBlue(0, 0, 128);
const QColor Lime(0, 255, 0);
const QColor Green(0, 128, 0);
const QColor Pale(170, 170, 220);
// The pictures slide 3 pixels a tick from just inside the right edge and just
// below the bottom to their places, in 62 ticks at the box's own size.
constexpr int SlideStep = 3;
constexpr int SlideLength = 62 * SlideStep;
const QPoint TitlePlace(60, 12);
const QPoint ClockPlace(5, 4);
// The text lines keep out of the pictures' way in: below the title's lane and
// right of the clock's, where the design's links begin.
constexpr int TextsTop = 56;
constexpr int TextsLeft = 53;
constexpr int LongestFolderChars = 48;

void setTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

QLabel* textLine(QWidget* parent, const char* name, const QString& text, const QFont& font,
                 const QColor& colour) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    setTextColour(label, colour);
    return label;
}

// The home folder as "~", and a folder too long for the box cut in its middle.
QString folderText(const QString& folder, const QFontMetrics& metrics) {
    QString shown = QDir::toNativeSeparators(folder);
    const QString home = QDir::toNativeSeparators(QDir::homePath());
    if (shown == home || shown.startsWith(home + QLatin1Char('/')))
        shown = QLatin1Char('~') + shown.mid(home.size());
    return metrics.elidedText(shown, Qt::ElideMiddle, metrics.averageCharWidth() * LongestFolderChars);
}

// One step of a slide towards its place.
int stepTowards(int from, int to) {
    return from > to ? std::max(to, from - SlideStep) : from;
}
} // namespace

TAboutForm::TAboutForm(const Services& services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_services(services) {
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("About Dialtally Pro."));

    AboutPanel = new QWidget(this);
    AboutPanel->setObjectName(QStringLiteral("AboutPanel"));
    AboutPanel->setAutoFillBackground(true);
    QPalette blue = AboutPanel->palette();
    blue.setColor(QPalette::Window, DarkBlue);
    AboutPanel->setPalette(blue);

    const qreal ratio = devicePixelRatioF();
    SlideTitle = new QLabel(AboutPanel);
    SlideTitle->setObjectName(QStringLiteral("SlideTitle"));
    SlideTitle->setAccessibleName(QStringLiteral("Dialtally Pro"));
    SlideTitle->setPixmap(ShellPictures::title(QSize(200, 39), ratio));
    SlideTitle->adjustSize();
    SlideClock = new QLabel(AboutPanel);
    SlideClock->setObjectName(QStringLiteral("SlideClock"));
    SlideClock->setAccessibleName(QStringLiteral("Clock"));
    SlideClock->setPixmap(ShellPictures::standingClock(QSize(45, 53), ratio));
    SlideClock->adjustSize();

    Label1 = textLine(AboutPanel, "Label1", QStringLiteral("Version 1.0"), ShellPictures::titleFont(19, true),
                      Qt::red);
    Label2 = textLine(AboutPanel, "Label2", QStringLiteral("The call-cost meter for your modem"),
                      ShellPictures::titleFont(13), Qt::white);
    Label3 = textLine(AboutPanel, "Label3", Licence, ShellPictures::titleFont(11), Pale);
    Label5 = textLine(AboutPanel, "Label5", QStringLiteral("Your calls and settings are kept in"),
                      ShellPictures::titleFont(11), Pale);
    Label4 = textLine(AboutPanel, "Label4", QString(), ShellPictures::titleFont(13, true), Green);
    Label4->setText(folderText(services.programDirectory, Label4->fontMetrics()));
    Label4->setCursor(Qt::UpArrowCursor);
    Label4->setToolTip(QStringLiteral("Open the folder ") +
                       QDir::toNativeSeparators(services.programDirectory));

    HelpButton = new QPushButton(QStringLiteral("&Help"), AboutPanel);
    HelpButton->setObjectName(QStringLiteral("HelpButton"));
    HelpButton->setAutoDefault(false);
    connect(HelpButton, &QPushButton::clicked, this, &TAboutForm::HelpButtonClick);
    Button1 = new QPushButton(QStringLiteral("OK"), AboutPanel);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TAboutForm::Button1Click);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(6);
    buttons->addStretch();
    for (QPushButton* b : {HelpButton, Button1}) {
        b->setMinimumSize(75, 25);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    auto* texts = new QVBoxLayout(AboutPanel);
    texts->setContentsMargins(TextsLeft, TextsTop, 8, 4);
    texts->setSpacing(0);
    for (QLabel* line : {Label1, Label2, Label3}) {
        texts->addWidget(line, 0, Qt::AlignHCenter);
    }
    texts->addSpacing(4);
    texts->addWidget(Label5, 0, Qt::AlignHCenter);
    texts->addWidget(Label4, 0, Qt::AlignHCenter);
    texts->addStretch();
    texts->addLayout(buttons);
    auto* whole = new QVBoxLayout(this);
    whole->setContentsMargins(0, 0, 0, 0);
    whole->addWidget(AboutPanel);
    TypeScale::fixSize(this, DrawnSize);

    // The pictures come in from the grown edges.
    const QSize growth = size() - DrawnSize;
    SlideTitle->move(TitlePlace + QPoint(SlideLength + growth.width(), 0));
    SlideClock->move(ClockPlace + QPoint(0, SlideLength + growth.height()));
    SlideTitle->raise();
    SlideClock->raise();

    for (QWidget* w :
         std::initializer_list<QWidget*>{AboutPanel, Label1, Label2, Label4, Label5, HelpButton, Button1}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(50);
    connect(Timer1, &QTimer::timeout, this, &TAboutForm::Timer1Timer);
    Timer1->start();

    ScreenPlace::fit(this, size());
}

void TAboutForm::Timer1Timer() {
    SlideClock->move(SlideClock->x(), stepTowards(SlideClock->y(), ClockPlace.y()));
    SlideTitle->move(stepTowards(SlideTitle->x(), TitlePlace.x()), SlideTitle->y());
    if (SlideClock->pos() == ClockPlace && SlideTitle->pos() == TitlePlace)
        Timer1->stop();
}

void TAboutForm::highlightLink(bool lit) {
    setTextColour(Label4, lit ? Lime : Green);
}

bool TAboutForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        highlightLink(watched == Label4);
        return true; // not passed on to the panel, which would put the link back
    }
    if (watched != Label4)
        return QDialog::eventFilter(watched, event);
    // The link opens as a button does: pressed and released with the left
    // button, the pointer still over it.
    if (event->type() == QEvent::MouseButtonPress) {
        m_linkPressed = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    } else if (event->type() == QEvent::MouseButtonRelease) {
        const auto* release = static_cast<QMouseEvent*>(event);
        const bool click = m_linkPressed && release->button() == Qt::LeftButton &&
                           Label4->rect().contains(release->position().toPoint());
        m_linkPressed = false;
        if (click)
            Label4Click();
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutForm::Label4Click() {
    QDesktopServices::openUrl(QUrl::fromLocalFile(m_services.programDirectory));
}

void TAboutForm::HelpButtonClick() {
    if (m_services.help)
        m_services.help->showTopic(HelpTopic);
}

void TAboutForm::Button1Click() {
    accept();
}
