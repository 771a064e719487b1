#pragma once

#include "core/seams/Prompter.h"

#include <cstdio>

// Answers yes to everything; an error goes to the error output, as it means
// the figures are wrong.
class SilentPrompter final : public Prompter {
public:
    void error(const QString& text) override { std::fprintf(stderr, "error: %s\n", qPrintable(text)); }
    void warning(const QString&) override {}
    void information(const QString&) override {}
    bool askYesNo(const QString&) override { return true; }
    bool askYesNoDefaultNo(const QString&, const QString&) override { return true; }
    Answer askYesNoCancel(const QString&) override { return Answer::Yes; }
    void beep() override {}
};
