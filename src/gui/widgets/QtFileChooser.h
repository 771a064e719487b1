#pragma once

#include "core/seams/FileChooser.h"

#include <QPointer>
#include <QWidget>

class QtFileChooser final : public FileChooser {
public:
    void setParentWidget(QWidget* parent) { m_parent = parent; }

    QString openFileName(const QString& caption, const QString& directory, const QString& filter,
                         const QString& defaultSuffix) override;
    QString saveFileName(const QString& caption, const QString& directory, const QString& filter,
                         const QString& defaultSuffix) override;
    QString saveFileNameFiltered(const QString& caption, const QString& directory, const QString& filters,
                                 int* filterIndex) override;

private:
    QString run(bool save, const QString& caption, const QString& directory, const QString& filter,
                const QString& defaultSuffix, int* filterIndex = nullptr);
    QPointer<QWidget> m_parent;
};
