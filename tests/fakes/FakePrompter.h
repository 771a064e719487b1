#pragma once

#include "core/seams/Prompter.h"

#include <QStringList>

#include <deque>
#include <functional>

// Records every box shown and answers questions from a script (Yes when the
// script has run out).
class FakePrompter final : public Prompter {
public:
    QStringList errors, warnings, informations, questions;
    int beeps = 0;
    std::deque<Answer> answers;
    std::function<void()> whileAsking; // runs while a question waits for its answer

    void error(const QString& text) override { errors << text; }
    void warning(const QString& text) override { warnings << text; }
    void information(const QString& text) override { informations << text; }
    bool askYesNo(const QString& text) override { return next(text) == Answer::Yes; }
    Answer askYesNoCancel(const QString& text) override { return next(text); }
    void beep() override { ++beeps; }

    QStringList all() const { return errors + warnings + informations + questions; }
    void clear() {
        errors.clear();
        warnings.clear();
        informations.clear();
        questions.clear();
        beeps = 0;
    }

private:
    Answer next(const QString& text) {
        questions << text;
        if (whileAsking)
            whileAsking();
        if (answers.empty())
            return Answer::Yes;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
};
