#include "ui/DialogPrompts.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>

bool DialogPrompts::confirmClose(QWidget* parent, const QString& caption)
{
    const auto answer = QMessageBox::question(parent, caption, QStringLiteral("終了してもよろしいですか?"),
                                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                              QMessageBox::Yes);
    return answer == QMessageBox::Yes;
}

QString DialogPrompts::exitCsvSavePath(QWidget* parent, const QString& initialPath)
{
    return QFileDialog::getSaveFileName(parent, QString(), initialPath,
                                        QStringLiteral("CSV (*.csv);;XLSX (*.xlsx);;すべて (*.*)"));
}

bool DialogPrompts::shiftHeld() const
{
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
}

void DialogPrompts::showError(QWidget* parent, const QString& caption, const QString& text)
{
    QMessageBox::critical(parent, caption, text);
}
