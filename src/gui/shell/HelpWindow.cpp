#include "gui/shell/HelpWindow.h"

#include "gui/shell/ScreenPlace.h"

#include "core/storage/RegularFile.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <optional>
#include <utility>

namespace {
constexpr int PositionRole = Qt::UserRole;
constexpr int AnchorRole = Qt::UserRole + 1;

// Reads the help file only when it is a regular file: a named pipe in its
// place would hold the whole program in the open. A file that cannot be read
// gives a page that says why, and is read again when asked for again.
class HelpBrowser final : public QTextBrowser {
public:
    QVariant loadResource(int type, const QUrl& name) override {
        if (!name.isLocalFile())
            return QTextBrowser::loadResource(type, name);
        QString reason;
        bool missing = false;
        if (std::optional<QByteArray> bytes = RegularFile::readAll(name.toLocalFile(), &reason, &missing))
            return *bytes;
        if (type != QTextDocument::HtmlResource)
            return {};
        m_failed = true;
        const QString file = name.toLocalFile().toHtmlEscaped();
        return missing ? QStringLiteral("<p>The help file %1 cannot be found.</p>").arg(file)
                       : QStringLiteral("<p>The help file %1 cannot be read: %2.</p>")
                             .arg(file, reason.toHtmlEscaped());
    }

    void showPage(const QUrl& page) {
        if (std::exchange(m_failed, false))
            reload();
        setSource(page);
    }

private:
    bool m_failed = false;
};

QString anchorOf(const QTextBlock& block) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        if (const QStringList names = it.fragment().charFormat().anchorNames(); !names.isEmpty())
            return names.first();
    }
    return {};
}
} // namespace

HelpWindow::HelpWindow(QString helpFile, QWidget* parent)
    : QWidget(parent, Qt::Window), m_helpFile(std::move(helpFile)), m_browser(new HelpBrowser),
      m_contents(new QTreeWidget) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Dialtally Pro Help"));
    resize(860, 560);

    m_contents->setObjectName(QStringLiteral("HelpContents"));
    m_contents->setAccessibleName(QStringLiteral("Contents"));
    m_contents->setHeaderLabel(QStringLiteral("Contents"));
    m_browser->setObjectName(QStringLiteral("HelpText"));
    m_browser->setAccessibleName(QStringLiteral("Help text"));
    m_browser->setOpenExternalLinks(true);
    auto* split = new QSplitter(this);
    split->setObjectName(QStringLiteral("HelpSplitter"));
    split->addWidget(m_contents);
    split->addWidget(m_browser);
    split->setStretchFactor(1, 1);
    split->setSizes({280, 580});

    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("CloseButton"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);

    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpWindow::fillContents);
    connect(m_contents, &QTreeWidget::currentItemChanged, this, &HelpWindow::goTo);
    m_browser->document()->setDefaultStyleSheet(styleFor(palette()));
}

QString HelpWindow::styleFor(const QPalette& palette) {
    // Links take the application's link colour by themselves.
    const auto colour = [&palette](QPalette::ColorRole role) { return palette.color(role).name(); };
    return QStringLiteral("code { background-color: %1; color: %2; }\n"
                          "th { background-color: %3; color: %4; }\n"
                          "table { border-color: %5; }\n"
                          ".note { background-color: %6; color: %7; }\n")
        .arg(colour(QPalette::AlternateBase), colour(QPalette::Text), colour(QPalette::Highlight),
             colour(QPalette::HighlightedText), colour(QPalette::Mid), colour(QPalette::ToolTipBase),
             colour(QPalette::ToolTipText));
}

// The document takes its colours when it is read: read again in the new ones.
void HelpWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::PaletteChange)
        return;
    m_browser->document()->setDefaultStyleSheet(styleFor(palette()));
    if (m_browser->source().isEmpty())
        return;
    const int shown = m_browser->verticalScrollBar()->value();
    m_browser->reload();
    m_browser->verticalScrollBar()->setValue(shown);
}

// The topics are the file's second-level headings, their parts the third-level ones.
void HelpWindow::fillContents() {
    const QSignalBlocker quiet(m_contents);
    m_contents->clear();
    QTreeWidgetItem* topic = nullptr;
    for (QTextBlock block = m_browser->document()->begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        const QString title = block.text().simplified();
        if (title.isEmpty() || (level != 2 && level != 3) || (level == 3 && !topic))
            continue;
        auto* item =
            level == 2 ? new QTreeWidgetItem(m_contents, {title}) : new QTreeWidgetItem(topic, {title});
        if (level == 2)
            topic = item;
        item->setData(0, PositionRole, block.position());
        item->setData(0, AnchorRole, anchorOf(block));
    }
}

void HelpWindow::goTo(QTreeWidgetItem* item) {
    if (!item)
        return;
    const QTextBlock block = m_browser->document()->findBlock(item->data(0, PositionRole).toInt());
    const QRectF box = m_browser->document()->documentLayout()->blockBoundingRect(block);
    m_browser->verticalScrollBar()->setValue(int(box.top()));
}

void HelpWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        close();
    else
        QWidget::keyPressEvent(event);
}

void HelpWindow::showTopic(int topic) {
    const QString anchor = QStringLiteral("topic%1").arg(topic);
    QUrl topicUrl = QUrl::fromLocalFile(m_helpFile);
    topicUrl.setFragment(anchor);
    static_cast<HelpBrowser*>(m_browser)->showPage(topicUrl);
    {
        const QSignalBlocker quiet(m_contents);
        for (int i = 0; i < m_contents->topLevelItemCount(); ++i) {
            if (m_contents->topLevelItem(i)->data(0, AnchorRole).toString() == anchor)
                m_contents->setCurrentItem(m_contents->topLevelItem(i));
        }
    }
    // Help asked for from a window that waits for an answer (the wizard, the
    // configuration dialog) must not be shut out by it: it is shown modal then,
    // above that window (on top when that one is), and plain beside the
    // program otherwise.
    QWidget* waiting = QApplication::activeModalWidget();
    if (waiting == this)
        waiting = nullptr;
    const Qt::WindowModality modality = waiting ? Qt::ApplicationModal : Qt::NonModal;
    const bool onTop = waiting && waiting->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    if (modality != windowModality() || onTop != windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
        hide();
        setWindowModality(modality);
        setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    }
    // Opened where the user looks: over the window that asked, on its screen
    // and as large as that screen allows. Once open, it stays where the user
    // puts it.
    const QWidget* asking = waiting ? waiting : QApplication::activeWindow();
    if (!isVisible())
        ScreenPlace::fit(this, size(), asking != this ? asking : nullptr);
    show();
    raise();
    activateWindow();
}
