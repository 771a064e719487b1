#pragma once

#include "core/seams/Prompter.h"

#include <QWidget>

// Message boxes on QMessageBox, over the window the user is working in: the
// dialog open, else the owner window while it is on show.
class QtPrompter final : public Prompter {
public:
    void error(const QString& text) override;
    void warning(const QString& text) override;
    void information(const QString& text) override;
    bool askYesNo(const QString& text) override;
    bool askYesNoDefaultNo(const QString& text, const QString& detail) override;
    Answer askYesNoCancel(const QString& text) override;
    void beep() override;

private:
    QWidget* parent() const;
};
