#include "QtClipboard.h"
#include "QtMessagePresenter.h"
#include "Random.h"
#include "frm_Top.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QtClipboard clipboard;
    QtMessagePresenter messages;
    SystemRandom random;
    frm_Top window({clipboard, messages, random, QCoreApplication::applicationDirPath()});
    messages.setParent(&window);
    window.show();
    return app.exec();
}
