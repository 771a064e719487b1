#include "core/seams/FileChooser.h"

#include "core/seams/Prompter.h"

#include <QDir>
#include <QFileInfo>

bool FileChooser::mayReplace(const QString& chosen, const QString& name, Prompter& prompter) {
    return name == chosen || !QFileInfo::exists(name) ||
           prompter.askYesNo(QStringLiteral("%1 already exists.\nDo you want to replace it?")
                                 .arg(QDir::toNativeSeparators(name)));
}
