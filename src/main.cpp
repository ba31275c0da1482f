#include "gui/AppIcon.h"
#include "gui/MainWindow.h"
#include "gui/QtDialogs.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/LinuxPowerControl.h"
#include "platform/LinuxProcessLauncher.h"
#include "platform/LinuxRegistry.h"
#include "platform/ProgramFolder.h"
#include "platform/TerminationSignals.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <csignal>

int main(int argc, char* argv[])
{
    // A file that reaches the size limit fails its write, which every writer reports, instead of ending
    // Lomvato with the work unsaved. The jobs start with every signal at its default.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lomvato"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(LOMVATO_VERSION_MAJOR)
                                            .arg(LOMVATO_VERSION_MINOR)
                                            .arg(LOMVATO_VERSION_PATCH));
    QApplication::setWindowIcon(applicationIcon());

    // Qt's own texts (the buttons of message boxes and file dialogs) in Japanese, like the rest of the
    // window.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                     QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    QtDialogs dialogs;
    RealFileSystem files;
    LinuxProcessLauncher launcher(files);
    SystemClock clock;
    LinuxPowerControl power;
    LinuxRegistry registry;
    MainWindow form(
        Services{dialogs, files, launcher, clock, power, registry, programFolder(), executableFolder()});
    dialogs.setParent(&form);

    // The system's requests to end (signals, the end of the desktop session) take the window's close path,
    // which stores the log and the startup template; during start-up it ends the process without writing.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &form, &QWidget::close);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form, &QWidget::close);

    if (!form.start())
        return 0;
    return QApplication::exec();
}
