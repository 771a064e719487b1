#include "gui/widgets/QtPrompter.h"

#include "gui/widgets/FormRules.h"

#include <QApplication>
#include <QMessageBox>

QWidget* QtPrompter::parent() const {
    return FormRules::boxParent(ownerWindow());
}

void QtPrompter::error(const QString& text) {
    QMessageBox::critical(parent(), QStringLiteral("Error"), text);
}

void QtPrompter::warning(const QString& text) {
    QMessageBox::warning(parent(), QStringLiteral("Warning"), text);
}

void QtPrompter::information(const QString& text) {
    QMessageBox::information(parent(), QStringLiteral("Information"), text);
}

bool QtPrompter::askYesNo(const QString& text) {
    return QMessageBox::question(parent(), QStringLiteral("Confirm"), text,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

bool QtPrompter::askYesNoDefaultNo(const QString& text, const QString& detail) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text,
                    QMessageBox::Yes | QMessageBox::No, parent());
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    box.setInformativeText(detail);
    return box.exec() == QMessageBox::Yes;
}

Prompter::Answer QtPrompter::askYesNoCancel(const QString& text) {
    switch (QMessageBox::question(parent(), QStringLiteral("Confirm"), text,
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                  QMessageBox::Yes)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

void QtPrompter::beep() {
    QApplication::beep();
}
