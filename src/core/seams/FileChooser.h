#pragma once

#include "core/seams/OwnerWindow.h"

#include <QString>

#include <functional>

class Prompter;

// Open and save dialogs. filter is in Qt's form ("Wave file (*.wav)"); an
// empty result means the user cancelled. The save dialog asks before it
// replaces an existing file.
class FileChooser : public OwnerWindow {
public:
    virtual ~FileChooser() = default;
    virtual QString openFileName(const QString& caption, const QString& directory, const QString& filter,
                                 const QString& defaultSuffix) = 0;
    virtual QString saveFileName(const QString& caption, const QString& directory, const QString& filter,
                                 const QString& defaultSuffix) = 0;
    // A save dialog over several filters ("A (*.a);;B (*.b)") that opens on
    // entry *filterIndex (0-based) and leaves there the entry the user chose.
    // No suffix is added to the name.
    virtual QString saveFileNameFiltered(const QString& caption, const QString& directory,
                                         const QString& filters, int* filterIndex) = 0;

    // A save dialog whose file-name box stops where the name (without the
    // default suffix) would no longer be kept whole, and says so with note.
    // A dialog that cannot be told (the desktop's own) may still return a
    // longer name.
    virtual QString saveFileNameKeptWhole(const QString& caption, const QString& directory,
                                          const QString& filter, const QString& defaultSuffix,
                                          const std::function<bool(const QString&)>& keepsWhole,
                                          const QString& note) {
        Q_UNUSED(keepsWhole);
        Q_UNUSED(note);
        return saveFileName(caption, directory, filter, defaultSuffix);
    }

    // The save dialog asked about replacing the name it was given, not about
    // name, that name with a suffix added: asks about it when it exists.
    // False when the user would not replace it.
    static bool mayReplace(const QString& chosen, const QString& name, Prompter& prompter);
};
