#pragma once

#include "core/seams/Prompter.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <utility>

// Records every box shown and answers questions from a script (Yes when the
// script has run out). whileOpen, when set, runs while a box is open, as the
// events a real box's own event loop delivers would.
class FakePrompter final : public Prompter {
public:
    QStringList errors, warnings, informations, questions;
    QStringList details;    // of the questions whose default answer is No
    QList<Answer> defaults; // the default answer of each question
    int beeps = 0;
    std::deque<Answer> answers;
    std::function<void()> whileOpen;

    void error(const QString& text) override { open(errors, text); }
    void warning(const QString& text) override { open(warnings, text); }
    void information(const QString& text) override { open(informations, text); }
    bool askYesNo(const QString& text) override { return next(text, Answer::Yes) == Answer::Yes; }
    bool askYesNoDefaultNo(const QString& text, const QString& detail) override {
        details << detail;
        return next(text, Answer::No) == Answer::Yes;
    }
    Answer askYesNoCancel(const QString& text) override { return next(text, Answer::Yes); }
    void beep() override { ++beeps; }

    QStringList all() const { return errors + warnings + informations + questions; }
    void clear() {
        errors.clear();
        warnings.clear();
        informations.clear();
        questions.clear();
        details.clear();
        defaults.clear();
        beeps = 0;
    }

private:
    void open(QStringList& shown, const QString& text) {
        shown << text;
        if (whileOpen)
            std::exchange(whileOpen, nullptr)();
    }
    Answer next(const QString& text, Answer defaultAnswer) {
        questions << text;
        defaults << defaultAnswer;
        if (whileOpen)
            std::exchange(whileOpen, nullptr)();
        if (answers.empty())
            return Answer::Yes;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
};
