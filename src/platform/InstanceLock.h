#pragma once

#include <QLockFile>
#include <QString>

// One running copy of the program per user: a lock file named WARDALECOUNTER in the temp folder.
class InstanceLock final
{
public:
    explicit InstanceLock(const QString& folder = QString());
    Q_DISABLE_COPY_MOVE(InstanceLock)

    // True when this process now holds the lock (a lock left by a crashed process is taken over).
    bool tryAcquire();
    bool isHeld() const { return m_lock.isLocked(); }

private:
    QLockFile m_lock;
};
