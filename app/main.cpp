#include "AppIcon.h"
#include "DesktopShell.h"
#include "FileLocations.h"
#include "LibPngWriter.h"
#include "QtClipboard.h"
#include "QtMessagePresenter.h"
#include "Random.h"
#include "SiteJob.h"
#include "TerminationSignals.h"
#include "UiLanguage.h"
#include "UiTranslators.h"
#include "UrlOpener.h"
#include "frm_Top.h"

#include <QApplication>
#include <QLocale>
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // The window's class (WM_CLASS) is what the launcher's StartupWMClass names, whatever the program file is called.
    QApplication::setApplicationName(QStringLiteral("qorvane"));
    // Lets the desktop tie the window to its launcher and icon.
    QApplication::setDesktopFileName(QStringLiteral("org.example.qorvane.Qorvane"));
    // The desktop's language, chosen before any text is made: Japanese on a Japanese desktop, English elsewhere.
    setCurrentUiLanguage(uiLanguageFor(QLocale::system().uiLanguages()));
    installTranslators(currentUiLanguage());
    QtClipboard clipboard;
    QtMessagePresenter messages;
    SystemRandom random;
    LibPngWriter png;
    ProcessUrlOpener urls;
    XdgDesktopShell shell;
    QApplication::setWindowIcon(QIcon(appIcon(32)));
    frm_Top window({clipboard, messages, random, png, urls, shell, FileLocations::forThisProgram()});
    messages.setParent(&window);
    window.show();
    // Asked to end by the desktop or the session: close as the user would, so the settings are saved.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::endRequested, &window, [&window] {
        window.close();
        QCoreApplication::exit(0); // also ends a message box that is open
    });
    const int status = app.exec();
    // A site run still at work is not waited for: the page in hand is replaced whole or not at all (its
    // temporary is removed by the next run), and the settings were saved as the window closed.
    if (SiteJob::anyRunning()) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
