#pragma once

#include "core/seams/FileChooser.h"

#include <QWidget>

// File dialogs on QFileDialog, over the owner window.
class QtFileChooser final : public FileChooser {
public:
    QString openFileName(const QString& caption, const QString& directory, const QString& filter,
                         const QString& defaultSuffix) override;
    QString saveFileName(const QString& caption, const QString& directory, const QString& filter,
                         const QString& defaultSuffix) override;
    QString saveFileNameFiltered(const QString& caption, const QString& directory, const QString& filters,
                                 int* filterIndex) override;
    QString saveFileNameKeptWhole(const QString& caption, const QString& directory, const QString& filter,
                                  const QString& defaultSuffix,
                                  const std::function<bool(const QString&)>& keepsWhole,
                                  const QString& note) override;

private:
    struct NameRule {
        std::function<bool(const QString&)> keepsWhole;
        QString note;
    };
    QString run(bool save, const QString& caption, const QString& directory, const QString& filter,
                const QString& defaultSuffix, int* filterIndex = nullptr, const NameRule* rule = nullptr);
};
