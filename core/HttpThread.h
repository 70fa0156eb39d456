#pragma once

#include "HttpThreadControl.h"

#include <QAtomicInt>
#include <QThread>

#include <functional>
#include <optional>

namespace lumora
{

// One request on its own thread with its own network client. It frees itself when it ends; its component may be
// gone by then, in which case it delivers nothing.
class THttpThread : public QThread
{
    Q_OBJECT
public:
    explicit THttpThread(THttpThreadControl *owner);
    ~THttpThread() override;

    // Touched only on the user-interface thread: cleared there by the component's destructor.
    THttpThreadControl *Owner = nullptr;

    // Private copies, fixed before the thread runs.
    QString Url;
    QStringList PostLines;
    THttpThread_RequestType RequestType = htGet;
    int ReadTimeout = 20000;

    QString ResultText;
    QByteArray ResultStream;
    QString ErrorText;

    // Workers that exist (running or waiting to be freed); tests wait for it to fall back to zero.
    static int LiveCount();
    // Workers waiting right now for a step to run on the user-interface thread.
    static int WaitingForHandOver();

protected:
    void run() override;

private:
    // Performs the exchange; returns false with message set on failure.
    bool perform(QString &message);
    // Runs a step on the user-interface thread and waits for it; false when that thread is no longer there.
    static bool runOnGui(const std::function<void()> &step);

    // Returns the message of an error raised by the OnHttpData handler.
    std::optional<QString> DeliverData();
    void DeliverError();
    void Detach();

    static QAtomicInt liveCount_;
    static QAtomicInt waitingCount_;
};

// Creates the object that hand-overs are queued to; called on the user-interface thread by every component.
void EnsureHttpBridge();
// Ends every worker's exchange and waits for its thread; none delivers anything after it. Runs by itself when the
// application object is destroyed.
void StopHttpWorkers();

} // namespace lumora
