#pragma once

#include <QApplication>

#include <exception>

namespace lumora
{

// The application object. An exception that escapes an event handler ends here: it is shown as "发生错误:" with its
// message, and the program goes on.
class LumoraApplication : public QApplication
{
    Q_OBJECT
public:
    LumoraApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // The one general error handler.
    static void ApplicationEvents1Exception(const std::exception &error);
};

} // namespace lumora
