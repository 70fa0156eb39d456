#include "TQRXPosition.h"

#include "Align.h"
#include "DockSplitter.h"
#include "util/ExeFolder.h"
#include "util/IniFile.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLayout>
#include <QWidget>

namespace lumora
{

namespace
{
QString windowSection(const QString &className)
{
    return className + QStringLiteral(" Position");
}

int stateCode(const QWidget *w)
{
    if (w->isMinimized())
        return 1;
    if (w->isMaximized())
        return 2;
    return 0;
}
} // namespace

QString PlainClassName(const QObject *object)
{
    const QString name = QString::fromLatin1(object->metaObject()->className());
    const int colons = name.lastIndexOf(QStringLiteral("::"));
    return colons < 0 ? name : name.mid(colons + 2);
}

QString TQRXPosition::PositionFilePath()
{
    const QFileInfo exe(QCoreApplication::applicationFilePath());
    return ExeFolder() + exe.completeBaseName() + QStringLiteral(".ini");
}

TQRXPosition::TQRXPosition(QWidget *owner) : QObject(owner), owner_(owner)
{
    const QString path = PositionFilePath();
    // A read-only file would make every save fail silently.
    if (QFile::exists(path))
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ini_ = std::make_unique<IniFile>(path);
    if (owner_)
        owner_->installEventFilter(this);
}

TQRXPosition::~TQRXPosition() = default;

QString TQRXPosition::fileName() const
{
    return ini_->path();
}

bool TQRXPosition::eventFilter(QObject *watched, QEvent *event)
{
    // An owner that never called Loaded() is restored just before it is first shown.
    if (watched == owner_ && event->type() == QEvent::Polish && !loaded_)
        Loaded();
    return QObject::eventFilter(watched, event);
}

void TQRXPosition::Loaded()
{
    if (loaded_ || !owner_)
        return;
    loaded_ = true;
    className_ = PlainClassName(owner_);
    restoreWindow();
    for (DockSplitter *splitter : owner_->findChildren<DockSplitter *>())
        restoreControl(DockSplitter::FindNeighbour(splitter));
}

void TQRXPosition::restoreWindow()
{
    const QString s = windowSection(className_);
    if (owner_->isMaximized())
        owner_->setWindowState(owner_->windowState() & ~Qt::WindowMaximized);
    const int left = ini_->readInteger(s, QStringLiteral("Left"), owner_->x());
    const int top = ini_->readInteger(s, QStringLiteral("Top"), owner_->y());
    const int width = ini_->readInteger(s, QStringLiteral("Width"), owner_->width());
    const int height = ini_->readInteger(s, QStringLiteral("Height"), owner_->height());
    owner_->move(left, top);
    owner_->resize(width, height);
    owner_->setWindowState(owner_->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    const int state = ini_->readInteger(s, QStringLiteral("WindowState"), 0);
    if (state == 1)
        owner_->setWindowState(owner_->windowState() | Qt::WindowMinimized);
    else if (state == 2)
        owner_->setWindowState(owner_->windowState() | Qt::WindowMaximized);
    // Any other value is not a window state and leaves the window normal.
}

void TQRXPosition::restoreControl(QWidget *control)
{
    if (!control || control->objectName().isEmpty())
        return;
    const Align align = alignOf(control);
    if (align == Align::None || align == Align::Client)
        return;
    const QString s = className_ + QLatin1Char('.') + control->objectName() + QStringLiteral(" Position");
    if (align == Align::Left || align == Align::Right)
        control->resize(ini_->readInteger(s, QStringLiteral("Width"), control->width()), control->height());
    else
        control->resize(control->width(), ini_->readInteger(s, QStringLiteral("Height"), control->height()));
    if (QWidget *parent = control->parentWidget())
        if (QLayout *layout = parent->layout())
            layout->invalidate();
}

void TQRXPosition::saveControl(QWidget *control)
{
    if (!control || control->objectName().isEmpty())
        return;
    const QString s = className_ + QLatin1Char('.') + control->objectName() + QStringLiteral(" Position");
    ini_->writeInteger(s, QStringLiteral("Left"), control->x());
    ini_->writeInteger(s, QStringLiteral("Top"), control->y());
    ini_->writeInteger(s, QStringLiteral("Width"), control->width());
    ini_->writeInteger(s, QStringLiteral("Height"), control->height());
}

void TQRXPosition::Save()
{
    if (saved_ || !owner_)
        return;
    saved_ = true;
    if (className_.isEmpty())
        className_ = PlainClassName(owner_);
    const QString s = windowSection(className_);
    // Minimising the application minimises every window, the main one included, so the state says 1 then.
    ini_->writeInteger(s, QStringLiteral("WindowState"), stateCode(owner_));
    if (!owner_->isMaximized()) {
        ini_->writeInteger(s, QStringLiteral("Left"), owner_->x());
        ini_->writeInteger(s, QStringLiteral("Top"), owner_->y());
        ini_->writeInteger(s, QStringLiteral("Width"), owner_->width());
        ini_->writeInteger(s, QStringLiteral("Height"), owner_->height());
    }
    for (DockSplitter *splitter : owner_->findChildren<DockSplitter *>())
        saveControl(DockSplitter::FindNeighbour(splitter));
}

} // namespace lumora
