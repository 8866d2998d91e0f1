#include "platform/SafeFile.h"

#include <QFile>
#include <QSaveFile>

namespace SafeFile {

bool replace(const QString& path, const Writer& writer, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !writer(file) || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool append(const QString& path, const Writer& writer, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const qint64 oldSize = file.size();
    if (writer(file) && file.flush())
        return true;
    if (error)
        *error = file.errorString();
    // A torn last line would spoil the earlier reports in the file for every reader.
    file.resize(oldSize);
    return false;
}

} // namespace SafeFile
