#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace lumora
{

// One running copy per executable file: the lock is named after the executable's full path, so a copy in another
// folder runs beside it. The lock is held until the guard is destroyed or the process ends; the lock of a process
// that died is taken over.
class SingleInstanceGuard
{
public:
    // The running executable when exePath is empty.
    explicit SingleInstanceGuard(const QString &exePath = {});
    ~SingleInstanceGuard();

    // False when another live process (or another guard in this one) holds the lock of the same executable.
    bool tryAcquire();
    bool isAcquired() const;
    // Takes the lock; true only when another live copy holds it. Any other failure (an unwritable temporary
    // folder) is no sign of another copy: the start goes on without the lock.
    bool anotherCopyRuns();

    // The running executable's full path, also before the application object exists (argv0 is the last resort).
    static QString executablePath(const char *argv0 = nullptr);
    // Where the lock of an executable lives.
    static QString lockPathFor(const QString &exePath);

private:
    std::unique_ptr<QLockFile> lock_;
};

} // namespace lumora
