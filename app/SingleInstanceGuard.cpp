#include "SingleInstanceGuard.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>

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
    : lock_(std::make_unique<QLockFile>(lockPathFor(exePath.isEmpty() ? executablePath() : exePath)))
{
    // Only a dead holder makes a lock stale: a copy that has run for hours must still keep the second one out.
    lock_->setStaleLockTime(0);
}

SingleInstanceGuard::~SingleInstanceGuard() = default;

bool SingleInstanceGuard::tryAcquire()
{
    if (lock_->isLocked())
        return true;
    return lock_->tryLock(0);
}

bool SingleInstanceGuard::anotherCopyRuns()
{
    return !tryAcquire() && lock_->error() == QLockFile::LockFailedError;
}

bool SingleInstanceGuard::isAcquired() const
{
    return lock_->isLocked();
}

} // namespace lumora
