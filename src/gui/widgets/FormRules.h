#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QShortcut>
#include <QSizePolicy>
#include <QStyle>
#include <QWidget>

// Small rules every form follows the same way.
namespace FormRules {

// A message box, a dialog or a menu taking the focus (or handing it back) is
// not the user moving between controls.
inline bool isUserFocusMove(Qt::FocusReason reason) {
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

// A control with the name tests find it by. A screen reader says a control's
// own text, which stays true as the text changes; only a control that shows
// no text (a picture, a grid, a frame) is given a fixed name to be said.
template <typename T> T* make(QWidget* parent, const char* name, const QString& fixedName = QString()) {
    auto* w = new T(parent);
    w->setObjectName(QLatin1String(name));
    if (!fixedName.isEmpty())
        w->setAccessibleName(fixedName);
    return w;
}

// The widget keeps its room in the layout while hidden, so nothing around it jumps.
inline void keepSpaceWhenHidden(QWidget* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

// A note on when to pick a choice, set under it in line with its text, and
// said by a screen reader with the choice.
inline void noteUnderChoice(QLabel* note, QAbstractButton* choice) {
    const QStyle* style = choice->style();
    note->setIndent(style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, choice) +
                    style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, choice));
    choice->setAccessibleDescription(note->text());
}

// The window a box or a file dialog is to stand over: the dialog open, else
// the owner window while it is on show. The owner hides while its dialogs are
// open (Setup, the viewer): a box of its own would stand apart from the
// dialog it is about, in a corner of the screen or behind the dialog.
inline QWidget* boxParent(QObject* owner) {
    if (QWidget* dialog = QApplication::activeModalWidget())
        return dialog;
    auto* window = qobject_cast<QWidget*>(owner);
    return window && window->isVisible() ? window : nullptr;
}

// F1 presses the window's Help button, as in other programs.
inline void helpKey(QAbstractButton* help) {
    auto* key = new QShortcut(QKeySequence::HelpContents, help->window());
    QObject::connect(key, &QShortcut::activated, help, &QAbstractButton::click);
}

} // namespace FormRules
