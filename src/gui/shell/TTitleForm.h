#pragma once

#include <QWidget>

// The splash window, shown while the program starts. It reports done once it
// has been on screen for a moment; the main window is made after that.
class TTitleForm : public QWidget {
    Q_OBJECT
public:
    static constexpr int ShownForMs = 600;

    explicit TTitleForm(QWidget* parent = nullptr);

    // Shows the window and returns once it reports done.
    void showUntilDone();
    // Closes the splash window if it is still on show, before a window of the
    // start (the first-use wizard) that it would otherwise stand behind.
    static void closeShown();

signals:
    void done();

protected:
    void showEvent(QShowEvent* event) override;
};
