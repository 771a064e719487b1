#pragma once

#include "core/seams/OwnerWindow.h"

#include <QString>

// Message boxes and questions. Everything the program says to the user in a
// box goes through here, so tests can read the texts and script the answers.
class Prompter : public OwnerWindow {
public:
    enum class Answer { Yes, No, Cancel };

    virtual ~Prompter() = default;
    virtual void error(const QString& text) = 0;
    virtual void warning(const QString& text) = 0;
    virtual void information(const QString& text) = 0;
    // Yes/No question; true on Yes.
    virtual bool askYesNo(const QString& text) = 0;
    // A Yes/No question about what cannot be undone: No is the default
    // answer, so a slip of Enter changes nothing; detail says what Yes does.
    // True on Yes.
    virtual bool askYesNoDefaultNo(const QString& text, const QString& detail) = 0;
    virtual Answer askYesNoCancel(const QString& text) = 0;
    virtual void beep() = 0;
};
