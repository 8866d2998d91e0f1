#include "platform/InstanceLock.h"

#include <QDir>

InstanceLock::InstanceLock(const QString& folder)
    : m_lock((folder.isEmpty() ? QDir::tempPath() : folder) + QStringLiteral("/WARDALECOUNTER"))
{
    m_lock.setStaleLockTime(0);
}

bool InstanceLock::tryAcquire()
{
    return m_lock.tryLock(0);
}
