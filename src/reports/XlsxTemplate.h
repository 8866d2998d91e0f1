#pragma once

#include <QByteArray>
#include <QString>

// The template workbook of the XLSX report: the user's file named by "XLSXテンプレートファイル", or the
// built-in one carried by the program.
namespace XlsxTemplate {

// The built-in template (resource "XLSXDT").
QByteArray builtIn();

struct Loaded
{
    QByteArray bytes;
    // Set when the user's template exists but cannot be read.
    QString error;
    bool fromUser = false;
};

// The template for one report. A copy of an earlier built-in template (dated 2015/05/19 or
// 2020/11/05) is replaced by the current one; with no .xlsx file at the path the built-in template
// is used and, when nothing is there at all, written there for the user to edit. A file of another
// kind at the path stays untouched.
Loaded load(const QString& templatePath);

} // namespace XlsxTemplate
