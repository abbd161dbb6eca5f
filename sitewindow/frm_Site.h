#pragma once

#include "SiteRun.h"

#include <QWidget>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;
class ChangedLinesModel;
class QTreeWidget;
class SiteJob;

// The site rewrite in a window: choose a folder, see what a run would change, then
// apply it with a progress bar that can be stopped. The work runs off the window's
// thread, so the window never freezes.
class frm_Site : public QWidget
{
    Q_OBJECT

public:
    // options is asked at the moment of use: the main window's options as they stand then.
    // settingsPath: the settings file that keeps this window's choices; empty keeps none.
    frm_Site(std::function<ConversionSettings()> options, QWidget* parent = nullptr, QString settingsPath = {});
    ~frm_Site() override;

    // Test hook: the folder the next "参照" returns instead of asking.
    void setNextFolderAnswer(const QString& folder) { m_nextFolder = folder; }
    // Test hook: runs on the worker between a page's read and its rename.
    void setBeforeReplaceForTest(std::function<void(const PageRef&)> hook) { m_beforeReplace = std::move(hook); }

    void cmd_Browse_Click();
    void cmd_Check_Click();
    void cmd_Apply_Click();
    void cmd_Cancel_Click();
    bool isRunning() const;

signals:
    void runFinished();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWidgets();
    SiteOptions siteOptions(const ConversionSettings& conversion) const;
    void startJob(bool dryRun);
    void pagesCounted(int total);
    void pageDone(const PageOutcome& outcome);
    void jobFinished(bool cancelled);
    void releaseJob();
    void showLines(int row);
    void setRunning(bool running);
    void showStatus(const QString& text, bool error = false);
    void restoreChoices();
    void storeChoices();
    QString problemText(const PageOutcome& outcome) const;

    std::function<ConversionSettings()> m_options;
    QString m_settingsPath;
    QString m_nextFolder;
    SiteJob* m_job = nullptr;
    bool m_dryRun = true;
    QString m_checkedFolder; // the folder of the last finished dry run; applying needs one
    // What the last dry run drew for each page, so that applying writes what was shown.
    std::shared_ptr<QHash<QByteArray, PagePlan>> m_plans;
    // The script method's key is drawn by the dry run; applying its plans needs the same one.
    std::shared_ptr<ScriptSite> m_script;
    std::function<void(const PageRef&)> m_beforeReplace;
    int m_drawnAgain = 0;
    int m_hiddenSkipped = 0;
    QList<PageOutcome> m_outcomes;
    int m_pages = 0;
    int m_changed = 0;
    int m_addresses = 0;
    int m_errors = 0;
    LevelCounts m_readable{}; // what a harvester reads in the pages as the run leaves them

    QLineEdit* txt_Folder = nullptr;
    QCheckBox* chk_Links = nullptr;
    QComboBox* cmb_Method = nullptr; // references; script on load; script on interaction
    QPushButton* cmd_Check = nullptr;
    QPushButton* cmd_Apply = nullptr;
    QPushButton* cmd_Cancel = nullptr;
    QTreeWidget* lst_Pages = nullptr;
    QTableView* tbl_Lines = nullptr;
    ChangedLinesModel* m_lines = nullptr;
    QProgressBar* prg_Run = nullptr;
    QLabel* lbl_Status = nullptr;
    QLabel* lbl_Readable = nullptr;
};
