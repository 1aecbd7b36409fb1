#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

// One running copy per executable file name: a lock file in the temporary folder named after it,
// held until the process ends. A copy started under another file name is a separate instance.
class TSingleInstance {
public:
    explicit TSingleInstance(const QString& executableName);
    bool acquired() const { return m_acquired; }

private:
    std::unique_ptr<QLockFile> m_lock;
    bool m_acquired = false;
};
