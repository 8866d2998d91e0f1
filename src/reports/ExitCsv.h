#pragma once

#include <QString>

struct ReportDateRange;

// The count export written when the program closes.
namespace ExitCsv {

// Sets the first and last instant of range from "終了時CSV出力範囲" and today: the first instant is
// counted back from today, the last one forward from the first, so a step clipped at a month's end
// ends before today. Values other than 1..5 give 2014/01/01 00:00:00 .. 2030/01/01 23:59:59.
void applyRange(ReportDateRange& range, double now, int setting);

// Where the exit export goes and whether the operator picks the file first.
struct Plan
{
    bool write = false;
    // Shift held: the save dialog opens with path and the export runs only for a confirmed name.
    bool askForPath = false;
    QString path;
};

// exportAtExit is "終了時人数カウントCSV出力"; the file is "人数カウント出力ファイル名" in the save
// dialog's initial folder.
Plan plan(bool exportAtExit, const QString& dialogFolder, const QString& fileName, bool shiftHeld);

} // namespace ExitCsv
