#pragma once

#include <QCoreApplication>
#include <QPointer>
#include <QString>

class DesktopShell;
class MessagePresenter;
class QWidget;
class UrlOpener;
class frm_Help;
class frm_Ver;
class frm_Vis;

// The help menu and the tag notes of the main window.
class HelpCommands
{
    Q_DECLARE_TR_FUNCTIONS(HelpCommands)

public:
    HelpCommands(QWidget* mainWindow, UrlOpener& urls, MessagePresenter& messages, DesktopShell& shell,
                 QString guideFile);
    ~HelpCommands();
    HelpCommands(const HelpCommands&) = delete;
    HelpCommands& operator=(const HelpCommands&) = delete;

    void mn_help_web_Click();
    void mn_help_guide_Click();
    void mn_help_vis_Click();
    void mn_help_ver_Click();
    void lbl_tag_setu_Click();

    frm_Ver* versionWindow() const;
    frm_Vis* acknowledgementsWindow() const;
    frm_Help* tagHelpWindow() const;

private:
    template <typename Window, typename... Args>
    void showOnce(QPointer<Window>& window, Args&... args);
    void reportMissingGuide();
    void offerReaderDownload();

    QWidget* m_mainWindow;
    UrlOpener& m_urls;
    MessagePresenter& m_messages;
    DesktopShell& m_shell;
    QString m_guideFile;
    QPointer<frm_Ver> m_ver;
    QPointer<frm_Vis> m_vis;
    QPointer<frm_Help> m_help;
};
