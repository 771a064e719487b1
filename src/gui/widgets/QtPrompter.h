#pragma once

#include "core/seams/Prompter.h"

#include <QPointer>
#include <QWidget>

// Message boxes on QMessageBox, parented to the window that asks.
class QtPrompter final : public Prompter {
public:
    void setParentWidget(QWidget* parent) { m_parent = parent; }

    void error(const QString& text) override;
    void warning(const QString& text) override;
    void information(const QString& text) override;
    bool askYesNo(const QString& text) override;
    Answer askYesNoCancel(const QString& text) override;
    void beep() override;

private:
    QPointer<QWidget> m_parent;
};
