#pragma once

#include <QString>

namespace lumora
{

// One running copy per executable file: the lock is named after the executable's full path, so a copy in another
// folder runs beside it. The lock is held until the guard is destroyed or the process ends; the system drops the lock
// of a process that died, however it died.
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

    SingleInstanceGuard(const SingleInstanceGuard &) = delete;
    SingleInstanceGuard &operator=(const SingleInstanceGuard &) = delete;

private:
    QString path_;
    int fd_ = -1;                // holds the lock while open
    bool heldElsewhere_ = false; // the last try found the lock taken
};

} // namespace lumora
