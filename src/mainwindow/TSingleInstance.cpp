#include "TSingleInstance.h"

#include <QDir>

TSingleInstance::TSingleInstance(const QString& executableName)
    : m_lock(std::make_unique<QLockFile>(
          QDir(QDir::tempPath()).filePath(executableName + QStringLiteral(".lock")))) {
    m_lock->setStaleLockTime(0); // a lock left by a crashed copy is taken over once its process is gone
    m_acquired = m_lock->tryLock(0);
}
