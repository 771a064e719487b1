#pragma once

#include "core/seams/HelpViewer.h"

#include <QList>

class FakeHelpViewer final : public HelpViewer {
public:
    QList<int> topics;
    void showTopic(int topic) override { topics << topic; }
};
