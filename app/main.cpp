#include "core/DateText.h"
#include "core/Session.h"

#include "util/ExeFolder.h"
#include "util/IniFile.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    lumora::SetProcessDateFormats();
    QApplication app(argc, argv);
    const lumora::IniFile ini(lumora::ExeFolder() + QStringLiteral("sis1.ini"));
    lumora::LoadServiceAddresses(ini);
    // The windows are wired in here as they arrive; until then the program starts and ends cleanly.
    return 0;
}
