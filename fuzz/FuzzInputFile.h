#pragma once

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include "counting/CountFileLoad.h"

#include <cstddef>
#include <cstdint>

// The fuzz input as a fresh file in a folder of its own; a memory file system keeps the runs fast,
// since refused files are copied aside with a sync. Returns the folder, or empty when the file could not be written.
inline QString writeFuzzInputFile(const char* fileName, const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir folder(QDir(QStringLiteral("/dev/shm")).exists()
                                    ? QStringLiteral("/dev/shm/wardale-fuzz-XXXXXX")
                                    : QDir::tempPath() + QStringLiteral("/wardale-fuzz-XXXXXX"));
    const QString path = folder.filePath(QLatin1String(fileName));
    // A fresh file each run: rewriting one in place makes the file system flush it on close.
    QFile::remove(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    return folder.path();
}

// The bytes File::write gives for the model; a writer that fails on memory is a finding.
template <typename File, typename Model> QByteArray savedBytes(const Model& model)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!File::write(model, buffer))
        __builtin_trap();
    return buffer.data();
}

// What the model holds saves, loads into a fresh model and saves again to the same bytes.
template <typename File, typename Model, typename Clock>
void requireSaveRoundTrip(const Model& model, const Clock& clock)
{
    const QByteArray first = savedBytes<File>(model);
    QByteArray copy = first;
    QBuffer again(&copy);
    again.open(QIODevice::ReadOnly);
    Model reloaded(clock);
    if (File::read(again, reloaded).outcome != CountFileLoad::Outcome::Loaded || savedBytes<File>(reloaded) != first)
        __builtin_trap();
}
