#pragma once

#include "core/seams/HelpViewer.h"

#include <QString>
#include <QWidget>

class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

// The program's help: one HTML file whose topics are anchors "topic1",
// "topic3", ...; shown in a window of its own that stays open beside the
// program and is brought back to the topic asked for. Its contents are the
// file's own headings, so a help file of the user's own gets them too. It
// opens centred over the window that asked for it, and closes with its Close
// button or Escape. The file holds no colours: the window gives it the
// desktop's, and gives them again when the desktop's palette changes.
class HelpWindow final : public QWidget, public HelpViewer {
    Q_OBJECT
public:
    static inline const QString FileName = QStringLiteral("Dialtaly.html");

    explicit HelpWindow(QString helpFile, QWidget* parent = nullptr);

    void showTopic(int topic) override;

    QString helpFile() const { return m_helpFile; }
    QTextBrowser* browser() const { return m_browser; }
    QTreeWidget* contents() const { return m_contents; }

    // The style sheet that colours the help's headings, code, tables and notes from palette.
    static QString styleFor(const QPalette& palette);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void fillContents();
    void goTo(QTreeWidgetItem* item);

    QString m_helpFile;
    QTextBrowser* m_browser;
    QTreeWidget* m_contents;
};
