#include "HttpThreadControl.h"

#include "HttpThread.h"

#include "util/Gbk.h"

#include <QRegularExpression>
#include <QStringEncoder>

namespace lumora
{

THttpThreadControl::THttpThreadControl(QObject *parent) : QObject(parent)
{
    EnsureHttpBridge();
}

THttpThreadControl::~THttpThreadControl()
{
    // Workers keep running to their end, but find no owner to deliver to.
    for (THttpThread *worker : std::as_const(InFlight))
        worker->Owner = nullptr;
    InFlight.clear();
}

void THttpThreadControl::Post(const QString &url, const QString &lines)
{
    Url = url;
    RequestType = htPost;
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    PostLines = lines.split(lineBreak);
    // A text that ends with a line break has no empty line after it.
    if (!PostLines.isEmpty() && PostLines.last().isEmpty())
        PostLines.removeLast();
    Start();
}

void THttpThreadControl::Start()
{
    EnsureHttpBridge(); // the component may have been made before the application object
    auto *worker = new THttpThread(this);
    InFlight.append(worker);
    worker->Url = Url;
    worker->PostLines = PostLines;
    worker->RequestType = RequestType;
    worker->ReadTimeout = ReadTimeout;
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}

namespace
{
bool keepsByte(unsigned char b)
{
    return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

void appendEncoded(QByteArray &out, const QByteArray &value)
{
    static const char hex[] = "0123456789ABCDEF";
    for (const char c : value) {
        const auto b = static_cast<unsigned char>(c);
        if (keepsByte(b)) {
            out += c;
        } else if (b == ' ') {
            out += '+';
        } else {
            out += '%';
            out += hex[b >> 4];
            out += hex[b & 0x0F];
        }
    }
}
} // namespace

namespace
{
QByteArray textToGbk(const QString &text)
{
    bool ascii = true;
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return text.toLatin1();
    thread_local QStringEncoder encoder("GBK");
    if (!encoder.isValid())
        return ToGbk(text);
    encoder.resetState();
    return encoder.encode(text);
}
} // namespace

QByteArray THttpThreadControl::EncodeFormBody(const QStringList &lines)
{
    QByteArray body;
    for (const QString &line : lines) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0 || eq == line.size() - 1) {
            body += textToGbk(line);
        } else {
            body += textToGbk(line.left(eq + 1));
            appendEncoded(body, textToGbk(line.mid(eq + 1)));
        }
        body += "\r\n";
    }
    if (lines.size() >= 2)
        body.replace("\r\n", "&");
    qsizetype begin = 0;
    qsizetype end = body.size();
    while (begin < end && static_cast<unsigned char>(body.at(begin)) <= 32)
        ++begin;
    while (end > begin && static_cast<unsigned char>(body.at(end - 1)) <= 32)
        --end;
    return body.mid(begin, end - begin);
}

} // namespace lumora
