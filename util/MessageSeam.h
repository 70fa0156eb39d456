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

class MessageHandler
{
public:
    virtual ~MessageHandler() = default;
    // Returns the answer to a question (true = Yes); ignored for the other kinds.
    virtual bool handle(const MessageRecord &message) = 0;
};

// nullptr restores the real message boxes.
void setMessageHandler(MessageHandler *handler);
MessageHandler *messageHandler();

// A plain message box with the application title as caption.
void ShowMessage(const QString &text);
// A modal box with the information icon and an OK button.
void ShowInfo(const QString &text, const QString &caption);
// Yes/No question captioned "提示"; true unless the answer was No.
bool ConfirmYesNo(const QString &question);

// For tests: records every message while it lives and answers questions from a queue.
class ScopedMessageCapture : public MessageHandler
{
public:
    ScopedMessageCapture();
    ~ScopedMessageCapture() override;
    bool handle(const MessageRecord &message) override;

    QList<MessageRecord> messages;
    QList<bool> answers;       // taken from the front, one per question
    bool defaultAnswer = true; // when answers is empty

    QStringList texts() const;
    QString lastText() const;

private:
    MessageHandler *previous_;
};

} // namespace lumora
