#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QWidget;

namespace lumora
{

class IniFile;

// Remembers where a window stood, its size, its state and how far its splitters were dragged, in the file named
// after the executable with ".ini" (ExeFolder() + executable name + ".ini"), sections "<class> Position" and
// "<class>.<control> Position".
//
// The owner creates it after building its controls and calls Loaded() before its own creation code runs (if it
// does not, the first show of the window restores). Save() runs once: TFormVSkin calls it from its destructor,
// other owners call it at the start of theirs.
class TQRXPosition : public QObject
{
    Q_OBJECT
public:
    explicit TQRXPosition(QWidget *owner);
    ~TQRXPosition() override;

    void Loaded();
    void Save();

    QString fileName() const;
    QString ownerClassName() const { return className_; }

    // The executable's path with ".ini" in place of its extension.
    static QString PositionFilePath();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void restoreWindow();
    void restoreControl(QWidget *control);
    void saveControl(QWidget *control);

    QWidget *owner_;
    std::unique_ptr<IniFile> ini_;
    QString className_;
    bool loaded_ = false;
    bool saved_ = false;
};

// The class name of a window without its namespace, as the sections name it.
QString PlainClassName(const QObject *object);

} // namespace lumora
