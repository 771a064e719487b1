#pragma once

#include "core/viewer/ViewerProgress.h"

#include <QDialog>

class QLabel;
class QProgressBar;

// The small stay-on-top window the log viewer shows during its long
// operations. It is drawn before the work starts and again as the bar moves,
// while the operation keeps the event loop.
class TProgressForm : public QDialog, public ViewerProgress {
    Q_OBJECT
public:
    explicit TProgressForm(QWidget* parent = nullptr);

    void WithProgress(const QString& caption, const QString& text) override;
    void WithOutProgress(const QString& caption, const QString& text) override;
    void setPosition(int percent) override;
    void hideProgress() override;

private:
    void showAtOnce(const QString& caption, bool withBar);
    void waitUntilMapped();

    QProgressBar* ProgressBar = nullptr;
    QLabel* SideLabel = nullptr;
    QLabel* CenterLabel = nullptr;
    QList<QLabel*> m_percentLabels;
};
