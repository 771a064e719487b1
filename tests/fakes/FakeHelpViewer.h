#pragma once

#include "platform/HelpViewer.h"

#include <QList>

class FakeHelpViewer final : public HelpViewer {
public:
    QList<int> topics;
    void showTopic(int topic) override { topics << topic; }
};
