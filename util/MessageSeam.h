#pragma once

#include <QList>
#include <QString>

namespace lumora {

// Every message box and question of the program goes through here, so tests can read and answer them
// without a modal box ever opening.
enum class MessageKind { Plain, Info, Question };

struct MessageRecord {
    MessageKind kind = MessageKind::Plain;
    QString caption;
    QString text;
};

// How a question box was left: one of its buttons, Esc, or the box's own close button.
enum class QuestionAnswer { Yes, No, Escape, Close };

// A queued answer; true and false stand for the Yes and No buttons.
struct Answer {
    Answer(bool yes) : how(yes ? QuestionAnswer::Yes : QuestionAnswer::No) {}
    Answer(QuestionAnswer answer) : how(answer) {}
    QuestionAnswer how;
};

class MessageHandler
{
public:
    virtual ~MessageHandler() = default;
    // How to leave a question; ignored for the other kinds. The question's own box is then left that way.
    virtual Answer handle(const MessageRecord &message) = 0;
};

// nullptr restores the real message boxes.
void setMessageHandler(MessageHandler *handler);
MessageHandler *messageHandler();

// A plain message box with the application title as caption.
void ShowMessage(const QString &text);
// A modal box with the information icon and an OK button.
void ShowInfo(const QString &text, const QString &caption);
// Yes/No question captioned "提示"; true unless the answer was No: Esc and the close button count as Yes.
bool ConfirmYesNo(const QString &question);

// For tests: records every message while it lives and answers questions from a queue.
class ScopedMessageCapture : public MessageHandler
{
public:
    ScopedMessageCapture();
    ~ScopedMessageCapture() override;
    Answer handle(const MessageRecord &message) override;

    QList<MessageRecord> messages;
    QList<Answer> answers;       // taken from the front, one per question
    Answer defaultAnswer = true; // when answers is empty

    QStringList texts() const;
    QString lastText() const;

private:
    MessageHandler *previous_;
};

} // namespace lumora
