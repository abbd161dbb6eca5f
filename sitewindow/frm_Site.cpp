#include "frm_Site.h"

#include "AddressImage.h"
#include "AppError.h"
#include "ChangedLinesModel.h"
#include "ParserBounds.h"
#include "SiteJob.h"
#include "SiteWindowSettings.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum PageColumn { PageName, PageAddresses, PageState };

template <typename W>
W* named(W* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

frm_Site::frm_Site(std::function<ConversionSettings()> options, QWidget* parent, QString settingsPath)
    : QWidget(parent, Qt::Window), m_options(std::move(options)), m_settingsPath(std::move(settingsPath))
{
    setObjectName(QStringLiteral("frm_Site"));
    setWindowTitle(tr("サイト一括変換"));
    buildWidgets();
    restoreChoices();
    setRunning(false);
    resize(760, 560);
}

frm_Site::~frm_Site()
{
    releaseJob();
}

// Nobody waits for the page in hand: it stops before its rename, and its job ends on its own.
void frm_Site::releaseJob()
{
    if (m_job)
        m_job->release();
    m_job = nullptr;
}

void frm_Site::buildWidgets()
{
    txt_Folder = named(new QLineEdit(this), "txt_Folder");
    txt_Folder->setPlaceholderText(tr("ページ(.html .htm .xhtml)のあるフォルダ"));
    auto* browse = named(new QPushButton(tr("参照(&B)..."), this), "cmd_Browse");
    chk_Links = named(new QCheckBox(tr("http/httpsのリンク先も変換する"), this), "chk_Links");
    cmb_Method = named(new QComboBox(this), "cmb_Method");
    cmb_Method->addItems({tr("文字参照で書く"), tr("スクリプトで表示(読み込み時)"), tr("スクリプトで表示(操作したとき)")});
    cmb_Method->setAccessibleName(tr("変換方式"));
    cmd_Check = named(new QPushButton(tr("確認(&D)"), this), "cmd_Check");
    cmd_Apply = named(new QPushButton(tr("変換を実行(&A)"), this), "cmd_Apply");
    cmd_Cancel = named(new QPushButton(tr("中止(&C)"), this), "cmd_Cancel");
    auto* close = named(new QPushButton(tr("閉じる(&O)"), this), "cmd_Close");

    lst_Pages = named(new QTreeWidget(this), "lst_Pages");
    lst_Pages->setHeaderLabels({tr("ページ"), tr("アドレス数"), tr("状態")});
    lst_Pages->setRootIsDecorated(false);
    lst_Pages->header()->setSectionResizeMode(PageName, QHeaderView::Stretch);
    lst_Pages->header()->setStretchLastSection(false);
    lst_Pages->header()->resizeSection(PageState, 220);
    tbl_Lines = named(new QTableView(this), "tbl_Lines");
    m_lines = new ChangedLinesModel({tr("行"), tr("変換前"), tr("変換後")}, this);
    tbl_Lines->setModel(m_lines);
    // Only the rows the view has been given are measured: a step at a time, as they are scrolled to.
    connect(m_lines, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex&, int first, int last) {
        for (int row = first; row <= last; ++row)
            tbl_Lines->resizeRowToContents(row);
    });
    tbl_Lines->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    tbl_Lines->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    tbl_Lines->verticalHeader()->hide();
    tbl_Lines->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tbl_Lines->setWordWrap(true);
    auto* splitter = named(new QSplitter(Qt::Vertical, this), "spl_Site");
    splitter->addWidget(lst_Pages);
    splitter->addWidget(tbl_Lines);

    prg_Run = named(new QProgressBar(this), "prg_Run");
    lbl_Status = named(new QLabel(tr("フォルダを選んで「確認」を押してください。"), this), "lbl_Status");
    lbl_Status->setTextFormat(Qt::PlainText);
    lbl_Readable = named(new QLabel(this), "lbl_Readable");
    lbl_Readable->setWordWrap(true);
    txt_Folder->setAccessibleName(tr("フォルダ"));
    lst_Pages->setAccessibleName(tr("変換するページ"));
    tbl_Lines->setAccessibleName(tr("変換される行"));
    prg_Run->setAccessibleName(tr("進行状況"));

    auto* layout = new QVBoxLayout(this);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(named(new QLabel(tr("フォルダ:"), this), "lbl_Folder"));
    folderRow->addWidget(txt_Folder, 1);
    folderRow->addWidget(browse);
    layout->addLayout(folderRow);
    auto* commandRow = new QHBoxLayout;
    commandRow->addWidget(chk_Links);
    commandRow->addWidget(cmb_Method);
    commandRow->addStretch(1);
    for (QPushButton* button : {cmd_Check, cmd_Apply, cmd_Cancel})
        commandRow->addWidget(button);
    layout->addLayout(commandRow);
    layout->addWidget(splitter, 1);
    layout->addWidget(prg_Run);
    layout->addWidget(lbl_Readable);
    auto* bottomRow = new QHBoxLayout;
    bottomRow->addWidget(lbl_Status, 1);
    bottomRow->addWidget(close);
    layout->addLayout(bottomRow);

    connect(browse, &QPushButton::clicked, this, [this] { cmd_Browse_Click(); });
    connect(cmd_Check, &QPushButton::clicked, this, [this] { cmd_Check_Click(); });
    connect(cmd_Apply, &QPushButton::clicked, this, [this] { cmd_Apply_Click(); });
    connect(cmd_Cancel, &QPushButton::clicked, this, [this] { cmd_Cancel_Click(); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(lst_Pages, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { showLines(item ? lst_Pages->indexOfTopLevelItem(item) : -1); });
    // A dry run stands for the folder and options it ran with: any change asks for a new one.
    connect(txt_Folder, &QLineEdit::textChanged, this, [this] { m_checkedFolder.clear(); setRunning(false); });
    connect(chk_Links, &QCheckBox::toggled, this, [this] { m_checkedFolder.clear(); setRunning(false); });
    connect(cmb_Method, &QComboBox::currentIndexChanged, this, [this] { m_checkedFolder.clear(); setRunning(false); });
}

void frm_Site::restoreChoices()
{
    if (m_settingsPath.isEmpty())
        return;
    const SiteWindowSettings stored = SiteWindowSettings::load(m_settingsPath);
    chk_Links->setChecked(stored.links);
    cmb_Method->setCurrentIndex(stored.method);
    connect(chk_Links, &QCheckBox::toggled, this, &frm_Site::storeChoices);
    connect(cmb_Method, &QComboBox::currentIndexChanged, this, &frm_Site::storeChoices);
}

void frm_Site::storeChoices()
{
    try {
        SiteWindowSettings{chk_Links->isChecked(), cmb_Method->currentIndex()}.save(m_settingsPath);
    } catch (const AppError& error) {
        showStatus(tr("設定を保存できませんでした: %1").arg(error.description()), true);
    }
}

bool frm_Site::isRunning() const
{
    return m_job && m_job->isRunning();
}

void frm_Site::cmd_Browse_Click()
{
    QString folder = m_nextFolder;
    m_nextFolder.clear();
    if (folder.isEmpty())
        folder = QFileDialog::getExistingDirectory(this, tr("変換するフォルダの選択"), txt_Folder->text());
    if (!folder.isEmpty())
        txt_Folder->setText(QDir::toNativeSeparators(folder));
}

void frm_Site::cmd_Check_Click()
{
    startJob(true);
}

void frm_Site::cmd_Apply_Click()
{
    if (!m_checkedFolder.isEmpty() && m_checkedFolder == txt_Folder->text())
        startJob(false);
}

void frm_Site::cmd_Cancel_Click()
{
    if (!isRunning())
        return;
    m_job->cancel();
    cmd_Cancel->setEnabled(false);
    showStatus(tr("中止しています..."));
}

void frm_Site::startJob(bool dryRun)
{
    const QString folder = txt_Folder->text().trimmed();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        showStatus(folder.isEmpty() ? tr("フォルダを選択してください。")
                                    : tr("フォルダが見つかりません。"),
                   true);
        return;
    }
    const ConversionSettings conversion = m_options();
    if (!conversion.anyFormEnabled()) {
        showStatus(tr("出力形式が選択されていません。"), true);
        return;
    }
    releaseJob();
    m_dryRun = dryRun;
    m_outcomes.clear();
    lst_Pages->clear();
    m_lines->setLines({});
    m_pages = m_changed = m_addresses = m_errors = m_drawnAgain = m_hiddenSkipped = 0;
    m_readable = {};
    lbl_Readable->clear();
    prg_Run->setRange(0, 0);
    prg_Run->setValue(0);
    showStatus(dryRun ? tr("確認しています...") : tr("変換しています..."));
    SiteTask task;
    task.options = siteOptions(conversion);
    task.dryRun = dryRun;
    task.wantLines = true;
    task.wantPlan = dryRun;
    task.countReadable = true;
    task.beforeReplace = m_beforeReplace;
    if (dryRun) {
        m_plans = std::make_shared<QHash<QByteArray, PagePlan>>();
        m_script = task.options.method == SiteMethod::Script
                       ? std::make_shared<ScriptSite>(task.options.script, &AddressImage::pngBytes)
                       : nullptr;
    } else {
        task.plans = m_plans;
    }
    task.script = m_script;
    m_job = new SiteJob({folder}, std::move(task), this);
    connect(m_job, &SiteJob::pagesCounted, this, &frm_Site::pagesCounted);
    connect(m_job, &SiteJob::pageDone, this, &frm_Site::pageDone);
    connect(m_job, &SiteJob::hiddenSkipped, this, [this](int count) { m_hiddenSkipped = count; });
    connect(m_job, &SiteJob::finished, this, &frm_Site::jobFinished);
    m_job->start();
    setRunning(true);
}

SiteOptions frm_Site::siteOptions(const ConversionSettings& conversion) const
{
    SiteOptions options(conversion, chk_Links->isChecked());
    options.method = cmb_Method->currentIndex() > 0 ? SiteMethod::Script : SiteMethod::References;
    options.script.onInteraction = cmb_Method->currentIndex() == 2;
    return options;
}

void frm_Site::pagesCounted(int total)
{
    m_pages = total;
    prg_Run->setRange(0, std::max(total, 1));
}

void frm_Site::pageDone(const PageOutcome& given)
{
    PageOutcome outcome = given;
    if (m_dryRun && (!outcome.failed() || outcome.changesPage()))
        m_plans->insert(outcome.file, std::exchange(outcome.plan, {}));
    prg_Run->setValue(prg_Run->value() + 1);
    for (int level = 0; level < 3; ++level)
        m_readable[level] += outcome.readable[level];
    if (outcome.cancelled)
        return; // stopped before its rename: untouched
    m_drawnAgain += outcome.drawnAgain && outcome.addresses > 0;
    if (!outcome.failed() && outcome.addresses == 0)
        return; // a page with nothing to change is not listed
    m_errors += outcome.failed();
    if (outcome.changesPage()) {
        ++m_changed;
        m_addresses += outcome.addresses;
    }
    QString state = problemText(outcome);
    if (state.isEmpty() && outcome.drawnAgain)
        state = tr("確認の後に変更されていたため、新しく変換しました");
    if (state.isEmpty())
        state = m_dryRun ? tr("変換します") : tr("変換しました");
    const QString shown = QDir::toNativeSeparators(QDir(txt_Folder->text()).relativeFilePath(outcome.path));
    auto* item = new QTreeWidgetItem({shown, QString::number(outcome.addresses), state});
    // A screen reader on the page's name hears its state too, not only one who looks along the row.
    item->setData(PageName, Qt::AccessibleTextRole, tr("%1: %2").arg(shown, state));
    item->setTextAlignment(PageAddresses, Qt::AlignRight | Qt::AlignVCenter);
    if (outcome.failed())
        item->setForeground(PageState, QColor(0xFF, 0, 0));
    lst_Pages->addTopLevelItem(item);
    m_outcomes.append(outcome);
    if (lst_Pages->topLevelItemCount() == 1)
        lst_Pages->setCurrentItem(item);
}

void frm_Site::jobFinished(bool cancelled)
{
    setRunning(false);
    prg_Run->setRange(0, std::max(m_pages, 1));
    const QString counts = tr("%1ページ中 %2ページ、アドレス %n個", nullptr, m_addresses).arg(m_pages).arg(m_changed);
    QString errors = m_errors > 0 ? tr("、エラー %n件", nullptr, m_errors) : QString();
    if (m_drawnAgain > 0)
        errors += tr("、確認の後に変更されたページ %n件は新しく変換", nullptr, m_drawnAgain);
    if (m_hiddenSkipped > 0) // hidden entries are left out unless asked for: say so, or a page there seems forgotten
        errors += tr("、隠しファイル・フォルダ %n件は対象外", nullptr, m_hiddenSkipped);
    if (cancelled)
        showStatus(tr("中止しました。それまでのページは") +
                   (m_dryRun ? tr("確認済みです。") : tr("変換済みです。")) + errors);
    else if (m_dryRun)
        showStatus(tr("確認しました: ") + counts + tr("を変換します") + errors + tr("。"),
                   m_errors > 0);
    else
        showStatus(tr("変換しました: ") + counts + errors + tr("。"), m_errors > 0);
    lbl_Readable->setText(tr("変換後も収集ロボットが読めるアドレス: そのまま %1個、参照を復号して %2個、表記を戻して %3個")
                              .arg(m_readable[0])
                              .arg(m_readable[1])
                              .arg(m_readable[2]));
    if (m_dryRun && !cancelled && m_changed > 0)
        m_checkedFolder = txt_Folder->text();
    else
        m_checkedFolder.clear();
    setRunning(false);
    emit runFinished();
}

void frm_Site::showLines(int row)
{
    m_lines->setLines(row >= 0 && row < m_outcomes.size() ? m_outcomes[row].lines : QList<ChangedLine>{});
    for (int shown = 0; shown < m_lines->rowCount(); ++shown)
        tbl_Lines->resizeRowToContents(shown);
}

void frm_Site::setRunning(bool running)
{
    cmd_Check->setEnabled(!running);
    cmd_Apply->setEnabled(!running && !m_checkedFolder.isEmpty() && m_checkedFolder == txt_Folder->text());
    cmd_Cancel->setEnabled(running);
    txt_Folder->setReadOnly(running);
    chk_Links->setEnabled(!running);
    cmb_Method->setEnabled(!running);
}

void frm_Site::showStatus(const QString& text, bool error)
{
    lbl_Status->setText(text);
    lbl_Status->setStyleSheet(error ? QStringLiteral("color: red; font-weight: bold;") : QString());
}

QString frm_Site::problemText(const PageOutcome& outcome) const
{
    const QString& detail = outcome.detail;
    switch (outcome.problem) {
    case PageProblem::None: return {};
    case PageProblem::Missing: return tr("ファイルが見つかりません。");
    case PageProblem::Unreadable:
    case PageProblem::WriteFailed: return AppError::descriptionOf(outcome.errorNumber);
    case PageProblem::UnsupportedEncoding:
        return detail.isEmpty() ? tr("文字コードを判定できません。")
                                : tr("文字コード %1 には対応していません。").arg(detail);
    case PageProblem::CannotHide: return tr("この設定では %1 を変換できません。").arg(detail);
    case PageProblem::CheckFailed: return tr("変換結果の確認で問題が見つかったため変更しません。");
    case PageProblem::ReadOnly: return tr("読み取り専用のため変更しません。");
    case PageProblem::LinkOutside: return tr("指定したフォルダの外を指すリンクのため変更しません。");
    case PageProblem::LinkBroken: return tr("リンク先が見つかりません。");
    case PageProblem::NotRegular: return tr("通常のファイルではないため開きません。");
    case PageProblem::HardLinked: return tr("ハードリンクが %1 個あるため変更しません。").arg(detail);
    case PageProblem::ChangedMeanwhile: return tr("変換中にほかのプログラムが変更したため、そのままにしました。");
    case PageProblem::ScriptUnwritable:
        return tr("スクリプトを書き込めないため、このフォルダのページは変更しません: %1").arg(AppError::descriptionOf(outcome.errorNumber));
    case PageProblem::Busy: return tr("ほかの変換がこのフォルダを処理中です。終わってからやり直してください。");
    case PageProblem::TooManyAttributes:
        return tr("%1行目のタグの属性が%2個を超えるため変更しません。").arg(detail).arg(ParserLoad::MaxAttributes);
    case PageProblem::NestedTooDeep:
        return tr("%1行目で要素の入れ子が%2段を超えるため変更しません。").arg(detail).arg(ParserLoad::MaxDepth);
    }
    return {};
}

void frm_Site::closeEvent(QCloseEvent* event)
{
    // The page in hand stops before its rename, so no page is left half written.
    releaseJob();
    setRunning(false);
    event->accept();
}
