#include "SingleInstanceGuard.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace lumora
{

QString SingleInstanceGuard::executablePath(const char *argv0)
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    if (!self.isEmpty())
        return self;
    return argv0 ? QFileInfo(QString::fromLocal8Bit(argv0)).absoluteFilePath() : QString();
}

QString SingleInstanceGuard::lockPathFor(const QString &exePath)
{
    const QFileInfo info(exePath);
    QString full = info.canonicalFilePath();
    if (full.isEmpty())
        full = info.absoluteFilePath();
    const QByteArray hash = QCryptographicHash::hash(full.toUtf8(), QCryptographicHash::Sha1).toHex();
    return QDir::tempPath() + QStringLiteral("/lumora-") + QString::fromLatin1(hash) + QStringLiteral(".lock");
}

SingleInstanceGuard::SingleInstanceGuard(const QString &exePath)
    : path_(lockPathFor(exePath.isEmpty() ? executablePath() : exePath))
{
}

SingleInstanceGuard::~SingleInstanceGuard()
{
    // Closing drops the lock. The file stays: removing it would let a copy starting now lock a file of its own.
    if (fd_ >= 0)
        ::close(fd_);
}

bool SingleInstanceGuard::tryAcquire()
{
    if (fd_ >= 0)
        return true;
    heldElsewhere_ = false;
    // A lock on the open file, not its contents, is the sign: nothing to write or to sync at every start. Read-only,
    // so that another user's running copy of the same file still counts.
    const int fd = ::open(QFile::encodeName(path_).constData(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        fd_ = fd;
        return true;
    }
    heldElsewhere_ = errno == EWOULDBLOCK;
    ::close(fd);
    return false;
}

bool SingleInstanceGuard::anotherCopyRuns()
{
    return !tryAcquire() && heldElsewhere_;
}

bool SingleInstanceGuard::isAcquired() const
{
    return fd_ >= 0;
}

} // namespace lumora
