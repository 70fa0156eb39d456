#pragma once

#include <QList>
#include <QString>

namespace lumora
{

// Every save-file dialog of the program goes through here, so tests can answer it without a modal dialog.
struct SaveFileQuestion {
    QString caption;
    QString proposedPath;
    QString filter;
};

class SaveFileHandler
{
public:
    virtual ~SaveFileHandler() = default;
    // The chosen path; empty when the user cancelled.
    virtual QString choose(const SaveFileQuestion &question) = 0;
};

// nullptr restores the real dialog.
void setSaveFileHandler(SaveFileHandler *handler);

// A save dialog opening on proposedPath; the chosen path, empty when cancelled.
QString AskSaveFileName(const QString &caption, const QString &proposedPath, const QString &filter);

// For tests: records every question while it lives and answers each with answer (empty = cancel).
class ScopedSaveFileAnswer : public SaveFileHandler
{
public:
    explicit ScopedSaveFileAnswer(QString answer = {});
    ~ScopedSaveFileAnswer() override;
    QString choose(const SaveFileQuestion &question) override;

    QString answer;
    QList<SaveFileQuestion> questions;

private:
    SaveFileHandler *previous_;
};

} // namespace lumora
