#pragma once

#include <QString>

// The small progress window of the viewer's long operations.
class ViewerProgress {
public:
    virtual ~ViewerProgress() = default;
    // Shows the window with its bar at 0 and text at the bar's left end.
    virtual void WithProgress(const QString& caption, const QString& text) = 0;
    // Shows the window with a centred text and no bar.
    virtual void WithOutProgress(const QString& caption, const QString& text) = 0;
    virtual void setPosition(int percent) = 0;
    virtual void hideProgress() = 0;
};
