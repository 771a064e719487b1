#pragma once

#include "core/seams/FileChooser.h"

#include <QStringList>

// Returns the paths it is given, one per dialog; records what was asked.
class FakeFileChooser final : public FileChooser {
public:
    QStringList nextPaths; // taken from the front; empty = cancelled
    int chosenFilter = -1; // the filter entry the user picks; -1 leaves the one the dialog opened on
    QStringList captions, directories, filters;

    QString openFileName(const QString& caption, const QString& directory, const QString& filter,
                         const QString&) override {
        return take(caption, directory, filter);
    }
    QString saveFileName(const QString& caption, const QString& directory, const QString& filter,
                         const QString&) override {
        return take(caption, directory, filter);
    }
    QString saveFileNameFiltered(const QString& caption, const QString& directory, const QString& filters,
                                 int* filterIndex) override {
        if (chosenFilter >= 0)
            *filterIndex = chosenFilter;
        return take(caption, directory, filters);
    }

private:
    QString take(const QString& caption, const QString& directory, const QString& filter) {
        captions << caption;
        directories << directory;
        filters << filter;
        return nextPaths.isEmpty() ? QString() : nextPaths.takeFirst();
    }
};
