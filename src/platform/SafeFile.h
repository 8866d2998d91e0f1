#pragma once

#include <QString>

#include <functional>

class QIODevice;

// Writing files so that a failed write never spoils the file that was there.
namespace SafeFile {

// Writes the file's new content; false when a write failed.
using Writer = std::function<bool(QIODevice&)>;

// Replaces path with what writer writes, in one step; on failure the old file stays and error says why.
bool replace(const QString& path, const Writer& writer, QString* error);

// Appends what writer writes to path (created when missing); on failure the file is cut back to its old
// length.
bool append(const QString& path, const Writer& writer, QString* error);

} // namespace SafeFile
