#include "HelpCommands.h"

#include "DesktopShell.h"
#include "FileLocations.h"
#include "MakerLinks.h"
#include "Message.h"
#include "UiLanguage.h"
#include "UrlOpener.h"
#include "frm_Help.h"
#include "frm_Ver.h"
#include "frm_Vis.h"

#include <QFileInfo>

HelpCommands::HelpCommands(QWidget* mainWindow, UrlOpener& urls, MessagePresenter& messages, DesktopShell& shell,
                           QString guideFile)
    : m_mainWindow(mainWindow), m_urls(urls), m_messages(messages), m_shell(shell),
      m_guideFile(std::move(guideFile))
{
}

HelpCommands::~HelpCommands()
{
    // The windows have no owner; they go with the program.
    delete m_ver.data();
    delete m_vis.data();
    delete m_help.data();
}

frm_Ver* HelpCommands::versionWindow() const
{
    return m_ver;
}

frm_Vis* HelpCommands::acknowledgementsWindow() const
{
    return m_vis;
}

frm_Help* HelpCommands::tagHelpWindow() const
{
    return m_help;
}

template <typename Window, typename... Args>
void HelpCommands::showOnce(QPointer<Window>& window, Args&... args)
{
    if (window.isNull()) {
        window = new Window(args...);
        window->placeBelow(m_mainWindow);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

void HelpCommands::mn_help_web_Click()
{
    OpenBrowserPage(QUrl(MakerLinks::webHelp()), m_urls, m_messages);
}

void HelpCommands::mn_help_guide_Click()
{
    const QString guide = FileLocations::guideFor(currentUiLanguage(), m_guideFile);
    if (!QFileInfo::exists(guide)) {
        reportMissingGuide();
        return;
    }
    if (!m_shell.hasPdfViewer()) {
        offerReaderDownload();
        return;
    }
    // xdg-open's own exit codes: 2 the file is gone, anything else no reader could open it.
    m_urls.open(QUrl::fromLocalFile(guide), [this](int exitCode) {
        if (exitCode == 2)
            reportMissingGuide();
        else
            offerReaderDownload();
    });
}

void HelpCommands::reportMissingGuide()
{
    m_messages.show({tr("操作ガイドが存在しません。"), tr("エラー"), MessageIcon::Critical,
                     MessageButtons::Ok});
}

void HelpCommands::offerReaderDownload()
{
    const Message question{tr("Adobe Acrobat Readerがインストールされていません。\r\nAcrobat ReaderのWebページを開きますか？"),
                           tr("エラー"), MessageIcon::None, MessageButtons::YesNo};
    if (m_messages.show(question) == MessageAnswer::Yes)
        OpenBrowserPage(QUrl(MakerLinks::ReaderDownload), m_urls, m_messages);
}

void HelpCommands::mn_help_vis_Click()
{
    showOnce(m_vis, m_urls, m_messages);
}

void HelpCommands::mn_help_ver_Click()
{
    showOnce(m_ver, m_urls, m_messages);
}

void HelpCommands::lbl_tag_setu_Click()
{
    showOnce(m_help);
}
