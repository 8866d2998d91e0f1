#pragma once

#include <QString>

// The resolved "書名取得プラグイン" text may carry arguments after the program path, and the path itself
// may hold blanks. The whole text is the program when it names a file; otherwise it is cut at its first
// blank and the program grows word by word while it names no file and the arguments still hold a blank.
struct PluginCommand
{
    QString program;
    QString arguments;

    static PluginCommand split(const QString& resolved);
};
