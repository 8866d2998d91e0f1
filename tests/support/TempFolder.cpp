#include "support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TempFolder::TempFolder() = default;

QString TempFolder::file(const QString& name) const
{
    return m_dir.filePath(name);
}

void TempFolder::write(const QString& name, const QByteArray& bytes) const
{
    QDir().mkpath(QFileInfo(file(name)).absolutePath());
    QFile out(file(name));
    if (out.open(QIODevice::WriteOnly))
        out.write(bytes);
}

QByteArray TempFolder::read(const QString& name) const
{
    QFile in(file(name));
    if (!in.open(QIODevice::ReadOnly))
        return {};
    return in.readAll();
}
