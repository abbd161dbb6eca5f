#include "AppIcon.h"
#include "DesktopShell.h"
#include "FileLocations.h"
#include "LibPngWriter.h"
#include "QtClipboard.h"
#include "QtMessagePresenter.h"
#include "Random.h"
#include "UrlOpener.h"
#include "frm_Top.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Lets the desktop tie the window to its launcher and icon.
    QApplication::setDesktopFileName(QStringLiteral("org.example.qorvane.Qorvane"));
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
    return app.exec();
}
