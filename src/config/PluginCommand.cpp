#include "config/PluginCommand.h"

#include <QFileInfo>

namespace {

// A text with a NUL in it names no file (and the file system would only complain about it).
bool namesFile(const QString& path)
{
    return !path.contains(QChar(u'\0')) && QFileInfo::exists(path);
}

} // namespace

PluginCommand PluginCommand::split(const QString& resolved)
{
    PluginCommand command{resolved, QString()};
    if (!command.program.contains(u' ') || namesFile(command.program))
        return command;
    const qsizetype space = command.program.indexOf(u' ');
    command.arguments = command.program.mid(space + 1).trimmed();
    command.program.truncate(space);
    while (command.arguments.contains(u' ') && !namesFile(command.program)) {
        const qsizetype next = command.arguments.indexOf(u' ');
        command.program += u' ' + command.arguments.left(next);
        command.arguments = command.arguments.mid(next + 1).trimmed();
    }
    return command;
}
