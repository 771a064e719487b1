#include "gui/shell/SmallBoxMenu.h"

namespace {
QAction* entry(QMenu* menu, const char* name, const QString& text) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QLatin1String(name));
    return action;
}
} // namespace

SmallBoxMenu::SmallBoxMenu(QWidget* parent) : QMenu(parent) {
    setObjectName(QStringLiteral("SmallBoxMenu"));
    StartOrStop = entry(this, "StartOrStop", QStringLiteral("&Start"));
    setDefaultAction(StartOrStop);
    addSeparator();
    StayOnTopMenuItem = entry(this, "StayOnTopMenuItem", QStringLiteral("Stay &On Top"));
    StayOnTopMenuItem->setCheckable(true);
    addSeparator();
    LoadMain = entry(this, "LoadMain", QStringLiteral("&Main Screen"));
    SetupMenuItem = entry(this, "SetupMenuItem", QStringLiteral("Set&up"));
    PastCallsMenuItem = entry(this, "PastCallsMenuItem", QStringLiteral("&Past Calls"));
    SpendingMenuItem = entry(this, "SpendingMenuItem", QStringLiteral("Sp&ending..."));
    addSeparator();
    CloseProgram = entry(this, "CloseProgram", QStringLiteral("E&xit"));
}

void SmallBoxMenu::showTiming(bool timing) {
    StartOrStop->setText(timing ? QStringLiteral("&Stop") : QStringLiteral("&Start"));
}
