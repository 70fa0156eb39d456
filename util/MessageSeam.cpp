#include "MessageSeam.h"

#include <QApplication>
#include <QMessageBox>

namespace lumora {

namespace {
MessageHandler *g_handler = nullptr;

QWidget *dialogParent()
{
    return QApplication::activeWindow();
}
} // namespace

void setMessageHandler(MessageHandler *handler)
{
    g_handler = handler;
}

MessageHandler *messageHandler()
{
    return g_handler;
}

void ShowMessage(const QString &text)
{
    MessageRecord m{MessageKind::Plain, QApplication::applicationDisplayName(), text};
    if (g_handler) {
        g_handler->handle(m);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, m.caption, text, QMessageBox::Ok, dialogParent());
    box.exec();
}

void ShowInfo(const QString &text, const QString &caption)
{
    MessageRecord m{MessageKind::Info, caption, text};
    if (g_handler) {
        g_handler->handle(m);
        return;
    }
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok, dialogParent());
    box.exec();
}

bool ConfirmYesNo(const QString &question)
{
    MessageRecord m{MessageKind::Question, QStringLiteral("提示"), question};
    if (g_handler)
        return g_handler->handle(m);
    QMessageBox box(QMessageBox::Information, m.caption, question, QMessageBox::Yes | QMessageBox::No,
                    dialogParent());
    return box.exec() != QMessageBox::No;
}

ScopedMessageCapture::ScopedMessageCapture() : previous_(g_handler)
{
    g_handler = this;
}

ScopedMessageCapture::~ScopedMessageCapture()
{
    g_handler = previous_;
}

bool ScopedMessageCapture::handle(const MessageRecord &message)
{
    messages.append(message);
    if (message.kind != MessageKind::Question)
        return true;
    return answers.isEmpty() ? defaultAnswer : answers.takeFirst();
}

QStringList ScopedMessageCapture::texts() const
{
    QStringList out;
    for (const auto &m : messages)
        out << m.text;
    return out;
}

QString ScopedMessageCapture::lastText() const
{
    return messages.isEmpty() ? QString() : messages.last().text;
}

} // namespace lumora
