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

private:
    QString run(bool save, const QString& caption, const QString& directory, const QString& filter,
                const QString& defaultSuffix);
    QPointer<QWidget> m_parent;
};
