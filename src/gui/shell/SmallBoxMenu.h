#pragma once

#include <QMenu>

// The menu of the small box and of the notification icon.
class SmallBoxMenu : public QMenu {
    Q_OBJECT
public:
    explicit SmallBoxMenu(QWidget* parent = nullptr);

    // The first entry reads as the Start/Stop button does.
    void showTiming(bool timing);

    QAction* StartOrStop = nullptr;
    QAction* StayOnTopMenuItem = nullptr;
    QAction* LoadMain = nullptr;
    QAction* SetupMenuItem = nullptr;
    QAction* PastCallsMenuItem = nullptr;
    QAction* SpendingMenuItem = nullptr;
    QAction* CloseProgram = nullptr;
};
