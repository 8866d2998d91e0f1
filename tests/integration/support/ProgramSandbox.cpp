#include "integration/support/ProgramSandbox.h"

#include <QDir>
#include <QFile>

ProgramSandbox::ProgramSandbox()
{
    if (!m_root.isValid())
        return;
    m_valid = true;
    for (const char* folder : {"data", "tmp", "home", "run"})
        m_valid = QDir().mkpath(m_root.filePath(QString::fromLatin1(folder))) && m_valid;
    // The runtime folder must be private to its owner, or Qt refuses it.
    QFile::setPermissions(m_root.filePath(QStringLiteral("run")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

QProcessEnvironment ProgramSandbox::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("TMPDIR"), m_root.filePath(QStringLiteral("tmp")));
    environment.insert(QStringLiteral("HOME"), m_root.filePath(QStringLiteral("home")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_root.filePath(QStringLiteral("run")));
    return environment;
}
