#include "gui/widgets/QtPrompter.h"

#include <QApplication>
#include <QMessageBox>

void QtPrompter::error(const QString& text) {
    QMessageBox::critical(m_parent, QStringLiteral("Error"), text);
}

void QtPrompter::warning(const QString& text) {
    QMessageBox::warning(m_parent, QStringLiteral("Warning"), text);
}

void QtPrompter::information(const QString& text) {
    QMessageBox::information(m_parent, QStringLiteral("Information"), text);
}

bool QtPrompter::askYesNo(const QString& text) {
    return QMessageBox::question(m_parent, QStringLiteral("Confirm"), text,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

Prompter::Answer QtPrompter::askYesNoCancel(const QString& text) {
    switch (QMessageBox::question(m_parent, QStringLiteral("Confirm"), text,
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
