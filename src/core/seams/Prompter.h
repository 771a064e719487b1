#pragma once

#include <QString>

// Message boxes and questions. Everything the program says to the user in a
// box goes through here, so tests can read the texts and script the answers.
class Prompter {
public:
    enum class Answer { Yes, No, Cancel };

    virtual ~Prompter() = default;
    virtual void error(const QString& text) = 0;
    virtual void warning(const QString& text) = 0;
    virtual void information(const QString& text) = 0;
    // Yes/No question; true on Yes.
    virtual bool askYesNo(const QString& text) = 0;
    virtual Answer askYesNoCancel(const QString& text) = 0;
    virtual void beep() = 0;
};
