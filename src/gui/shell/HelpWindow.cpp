#include "gui/shell/HelpWindow.h"

#include <QApplication>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpWindow::HelpWindow(QString helpFile, QWidget* parent)
    : QWidget(parent, Qt::Window), m_helpFile(std::move(helpFile)), m_browser(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Dialtally Pro Help"));
    resize(660, 560);
    m_browser->setObjectName(QStringLiteral("HelpText"));
    m_browser->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
}

void HelpWindow::showTopic(int topic) {
    if (!QFileInfo::exists(m_helpFile)) {
        m_browser->setHtml(
            QStringLiteral("<p>The help file %1 cannot be found.</p>").arg(m_helpFile.toHtmlEscaped()));
    } else {
        QUrl topicUrl = QUrl::fromLocalFile(m_helpFile);
        topicUrl.setFragment(QStringLiteral("topic%1").arg(topic));
        m_browser->setSource(topicUrl);
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
    show();
    raise();
    activateWindow();
}
