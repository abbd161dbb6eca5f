#pragma once

#include "AddressList.h"
#include "HelpCommands.h"
#include "PreviewCommand.h"
#include "ConversionRequest.h"
#include "ConversionView.h"
#include "FileLocations.h"
#include "TopWindowWidgets.h"

#include <QMainWindow>
#include <optional>

class AppError;
class DesktopShell;
class QComboBox;
class Clipboard;
class MessagePresenter;
class PngWriter;
class RandomSource;
class UrlOpener;
struct StoredSettings;

// What the main window needs from the platform, passed in so tests can fake it.
struct TopWindowServices
{
    Clipboard& clipboard;
    MessagePresenter& messages;
    RandomSource& random;
    PngWriter& png;
    UrlOpener& urls;
    DesktopShell& shell;
    FileLocations files;
};

// The main window: wires the controls to their reactions. A change the program
// makes to a control raises that control's reaction at once, as a click would.
class frm_Top : public QMainWindow, public ConversionView
{
    Q_OBJECT

public:
    explicit frm_Top(const TopWindowServices& services);
    ~frm_Top() override;

    TopWindowWidgets& widgets() { return m_w; }
    const ConversionState& conversionState() const { return m_request.state(); }
    int retClickCount() const { return RetClickCount; }
    int copyFlashCount() const { return CopyFlashCount; }

    void ConvertInput() { m_request.ConvertInput(); }
    void FLD_MK();
    void ReportTrappedError(const AppError& error);

    // Reactions, public so tests can raise them the way a tick or a click would.
    void cmd_Hen_Click();
    void cmd_Clip_Click();
    void time_fg_Timer();
    void ClipboardWatch();
    void mn_file_end_Click();
    void mn_set_kiju_Click(int index);
    void mn_pre_Click();
    PreviewCommand& preview() { return m_preview; }
    HelpCommands& help() { return m_help; }

    // ConversionView
    QString inputText() const override;
    void setInputText(const QString& text) override;
    QString outputText() const override;
    void setOutputText(const QString& text) override;
    ConversionSettings settings() const override;
    void showErrorLine(const QString& caption) override;
    void hideErrorLine() override;
    void setInputLengthCaption(const QString& caption) override;
    void setCellCaption(int cell, const QString& caption) override;
    void setCellColour(int cell, WinColour colour) override;
    void showBreakMarker(int marker, WinColour colour) override;
    void hideBreakMarker(int marker) override;
    void focusDecimalBox() override;
    void focusAndSelectAllInput() override;
    void focusAndSelectAllOutput() override;
    MessageAnswer showMessage(const Message& message) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QComboBox* buildWidgets();
    void connectOptionReactions();
    void connectCommandReactions();
    void Form_Load();
    void applySettings(const StoredSettings& stored);
    void placeWindow(int leftTwips, int topTwips);
    void saveSettings();
    void txt_MailAdd_Change();
    void txt_MailAdd_Click();
    void forgetOutput(bool countInput);
    void chk_Ret_Click();
    void optionChanged();
    void selectInputWithoutFocus();
    void updateInputCount();
    void takeReadText();

    TopWindowServices m_services;
    TopWindowWidgets m_w;
    ConversionRequest m_request;
    AddressList m_addresses;
    PreviewCommand m_preview;
    HelpCommands m_help;
    int RetClickCount = 0;
    int CopyFlashCount = 0;
    bool m_settingsSaved = false;
    bool m_holdConversions = false;
    bool m_clipboardChanged = true; // what the clipboard held at start is looked at once
    bool m_copiedDuringModal = false;
    bool m_reading = false;
    std::optional<QString> m_readText;
    QString m_lastTaken; // what the watch took or the program put on the clipboard last
    QPoint m_savedPlace; // the position read at start, in twips
};
