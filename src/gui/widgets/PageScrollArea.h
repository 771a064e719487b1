#pragma once

#include <QScrollArea>

// Holds a page of a dialog: it asks for the page's whole size, so the dialog
// opens with everything in view where the screen has the room, and it scrolls
// the page, rather than pushing the dialog's buttons off a small screen, where
// it has not. A page whose rows wrap at a narrow width scrolls only down.
class PageScrollArea : public QScrollArea {
    Q_OBJECT
public:
    explicit PageScrollArea(QWidget* page, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
};
