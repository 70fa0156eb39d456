// Ends as the program does, with requests in flight: posts count requests to url from a window's components, runs
// the event loop for waitMs, then leaves main.
#include "app/LumoraApplication.h"
#include "core/HttpThreadControl.h"

#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    if (argc < 4)
        return 2;
    lumora::LumoraApplication app(argc, argv);
    const QString url = QString::fromLocal8Bit(argv[1]);
    const int count = std::atoi(argv[2]);
    const int waitMs = std::atoi(argv[3]);
    QWidget window;
    int delivered = 0;
    for (int i = 0; i < count; ++i) {
        auto *http = new lumora::THttpThreadControl(&window);
        http->OnHttpData = [&delivered](lumora::THttpThreadControl *) { ++delivered; };
        http->OnHttpError = [&delivered](lumora::THttpThreadControl *, const QString &) { ++delivered; };
        http->Post(url, QStringLiteral("action=data\r\npage=%1").arg(i));
    }
    QTimer::singleShot(waitMs, &app, &QCoreApplication::quit);
    const int result = app.exec();
    std::printf("delivered %d\n", delivered);
    std::fflush(stdout);
    return result;
}
