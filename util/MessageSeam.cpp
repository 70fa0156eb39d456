#include "MessageSeam.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QShowEvent>

#include <optional>

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
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
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
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box.exec();
}

bool ConfirmYesNo(const QString &question)
{
    MessageRecord m{MessageKind::Question, QStringLiteral("提示"), question};
    const std::optional<Answer> given = g_handler ? std::optional<Answer>(g_handler->handle(m)) : std::nullopt;
    if (given && !qobject_cast<QApplication *>(QCoreApplication::instance()))
        return given->how != QuestionAnswer::No; // no widgets to build the box with
    QMessageBox box(QMessageBox::Information, m.caption, question, QMessageBox::Yes | QMessageBox::No,
                    dialogParent());
    // Left to itself the box takes No for Esc and its close button; only a No may drop what the question guards.
    box.setEscapeButton(box.button(QMessageBox::Yes));
    // Qt's own captions are English unless its translations happen to be installed.
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
    if (!given) {
        box.exec();
    } else {
        switch (given->how) {
        case QuestionAnswer::Yes:
            box.button(QMessageBox::Yes)->click();
            break;
        case QuestionAnswer::No:
            box.button(QMessageBox::No)->click();
            break;
        case QuestionAnswer::Escape:
        case QuestionAnswer::Close: {
            // The box settles its escape button when it is shown; then Esc and its close button go their own way.
            QShowEvent shown;
            QCoreApplication::sendEvent(&box, &shown);
            if (given->how == QuestionAnswer::Escape) {
                QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QCoreApplication::sendEvent(&box, &escape);
            } else {
                QCloseEvent close;
                QCoreApplication::sendEvent(&box, &close);
            }
            break;
        }
        }
    }
    return box.clickedButton() != box.button(QMessageBox::No);
}

ScopedMessageCapture::ScopedMessageCapture() : previous_(g_handler)
{
    g_handler = this;
}

ScopedMessageCapture::~ScopedMessageCapture()
{
    g_handler = previous_;
}

Answer ScopedMessageCapture::handle(const MessageRecord &message)
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
