#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

// A temporary home for one run of the real program: its data folder and its own temp, home and
// runtime folders, so its single-instance lock and settings stay apart from any other copy.
class ProgramSandbox final
{
public:
    ProgramSandbox();

    // False when the folders could not be made.
    bool isValid() const { return m_valid; }
    QString path() const { return m_root.path(); }
    QString filePath(const QString& name) const { return m_root.filePath(name); }
    QString dataFolder() const { return m_root.filePath(QStringLiteral("data")); }
    // The system environment pointed at the sandbox, with the offscreen platform.
    QProcessEnvironment environment() const;
    // Keeps the folder after the run, for a look at what went wrong.
    void keep() { m_root.setAutoRemove(false); }

private:
    QTemporaryDir m_root;
    bool m_valid = false;
};
