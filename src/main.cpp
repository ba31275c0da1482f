#include "core/Form1.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/ProgramFolder.h"
#include "platform/QtDialogs.h"
#include "platform/TerminationSignals.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lomvato"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(LOMVATO_VERSION_MAJOR)
                                            .arg(LOMVATO_VERSION_MINOR)
                                            .arg(LOMVATO_VERSION_PATCH));

    QtDialogs dialogs;
    RealFileSystem files;
    SystemClock clock;
    return 0;
}
