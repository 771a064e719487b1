#include "gui/widgets/QtFileChooser.h"

#include "gui/widgets/FormRules.h"
#include "gui/widgets/NameLimit.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {
// The name box of Qt's own file dialog, with a note under the dialog's rows.
void limitNameBox(QFileDialog& dialog, const QString& suffix, const std::function<bool(const QString&)>& rule,
                  const QString& text) {
    auto* box = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (!box || !grid)
        return;
    auto* note = new QLabel(text, &dialog);
    note->setObjectName(QStringLiteral("NameLimitNote"));
    grid->addWidget(note, grid->rowCount(), 0, 1, grid->columnCount());
    const QString ending = QLatin1Char('.') + suffix;
    new NameLimit(box, note, rule, [ending](const QString& typed) {
        const QString name = QFileInfo(typed).fileName();
        return name.endsWith(ending) ? name.chopped(ending.size()) : name;
    });
}
} // namespace

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

QString QtFileChooser::saveFileNameKeptWhole(const QString& caption, const QString& directory,
                                             const QString& filter, const QString& defaultSuffix,
                                             const std::function<bool(const QString&)>& keepsWhole,
                                             const QString& note) {
    const NameRule rule{keepsWhole, note};
    return run(true, caption, directory, filter, defaultSuffix, nullptr, &rule);
}

QString QtFileChooser::run(bool save, const QString& caption, const QString& directory, const QString& filter,
                           const QString& defaultSuffix, int* filterIndex, const NameRule* rule) {
    QWidget* over = FormRules::boxParent(ownerWindow());
    QFileDialog dialog(over ? over : QApplication::activeWindow(), caption, directory, filter);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (rule) {
        // The desktop's own dialog cannot be told of the limit; Qt's can.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        limitNameBox(dialog, defaultSuffix, rule->keepsWhole, rule->note);
    }
    const QStringList filters = dialog.nameFilters();
    if (filterIndex && *filterIndex >= 0 && *filterIndex < filters.size())
        dialog.selectNameFilter(filters[*filterIndex]);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    if (filterIndex)
        *filterIndex = int(filters.indexOf(dialog.selectedNameFilter()));
    return dialog.selectedFiles().constFirst();
}
