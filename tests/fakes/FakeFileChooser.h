#pragma once

#include "core/seams/FileChooser.h"

#include <QStringList>

// Returns the paths it is given, one per dialog; records what was asked.
class FakeFileChooser final : public FileChooser {
public:
    QStringList nextPaths; // taken from the front; empty = cancelled
    QStringList captions, directories, filters;

    QString openFileName(const QString& caption, const QString& directory, const QString& filter,
                         const QString&) override {
        return take(caption, directory, filter);
    }
    QString saveFileName(const QString& caption, const QString& directory, const QString& filter,
                         const QString&) override {
        return take(caption, directory, filter);
    }

private:
    QString take(const QString& caption, const QString& directory, const QString& filter) {
        captions << caption;
        directories << directory;
        filters << filter;
        return nextPaths.isEmpty() ? QString() : nextPaths.takeFirst();
    }
};
