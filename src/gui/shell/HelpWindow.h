#pragma once

#include "core/seams/HelpViewer.h"

#include <QString>
#include <QWidget>

class QTextBrowser;

// The program's help: one HTML file whose topics are anchors "topic1",
// "topic3", ...; shown in a window of its own that stays open beside the
// program and is brought back to the topic asked for.
class HelpWindow final : public QWidget, public HelpViewer {
    Q_OBJECT
public:
    static inline const QString FileName = QStringLiteral("Dialtaly.html");

    explicit HelpWindow(QString helpFile, QWidget* parent = nullptr);

    void showTopic(int topic) override;

    QString helpFile() const { return m_helpFile; }
    QTextBrowser* browser() const { return m_browser; }

private:
    QString m_helpFile;
    QTextBrowser* m_browser;
};
