#pragma once

// The program's help, by topic number.
class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    virtual void showTopic(int topic) = 0;
};
