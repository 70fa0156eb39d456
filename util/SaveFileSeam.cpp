#include "SaveFileSeam.h"

#include <QApplication>
#include <QFileDialog>

namespace lumora
{

namespace
{
SaveFileHandler *g_handler = nullptr;
} // namespace

void setSaveFileHandler(SaveFileHandler *handler)
{
    g_handler = handler;
}

QString AskSaveFileName(const QString &caption, const QString &proposedPath, const QString &filter)
{
    const SaveFileQuestion question{caption, proposedPath, filter};
    if (g_handler)
        return g_handler->choose(question);
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), caption, proposedPath, filter);
}

ScopedSaveFileAnswer::ScopedSaveFileAnswer(QString answer) : answer(std::move(answer)), previous_(g_handler)
{
    g_handler = this;
}

ScopedSaveFileAnswer::~ScopedSaveFileAnswer()
{
    g_handler = previous_;
}

QString ScopedSaveFileAnswer::choose(const SaveFileQuestion &question)
{
    questions.append(question);
    return answer;
}

} // namespace lumora
