#include "gui/widgets/QtFileChooser.h"

#include <QApplication>
#include <QFileDialog>

QString QtFileChooser::openFileName(const QString& caption, const QString& directory, const QString& filter,
                                    const QString& defaultSuffix) {
    return run(false, caption, directory, filter, defaultSuffix);
}

QString QtFileChooser::saveFileName(const QString& caption, const QString& directory, const QString& filter,
                                    const QString& defaultSuffix) {
    return run(true, caption, directory, filter, defaultSuffix);
}

QString QtFileChooser::saveFileNameFiltered(const QString& caption, const QString& directory,
                                            const QString& filters, int* filterIndex) {
    return run(true, caption, directory, filters, QString(), filterIndex);
}

QString QtFileChooser::run(bool save, const QString& caption, const QString& directory, const QString& filter,
                           const QString& defaultSuffix, int* filterIndex) {
    auto* owner = qobject_cast<QWidget*>(ownerWindow());
    QFileDialog dialog(owner ? owner : QApplication::activeWindow(), caption, directory, filter);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setOption(QFileDialog::ReadOnly, false);
    const QStringList filters = dialog.nameFilters();
    if (filterIndex && *filterIndex >= 0 && *filterIndex < filters.size())
        dialog.selectNameFilter(filters[*filterIndex]);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    if (filterIndex)
        *filterIndex = int(filters.indexOf(dialog.selectedNameFilter()));
    return dialog.selectedFiles().constFirst();
}
