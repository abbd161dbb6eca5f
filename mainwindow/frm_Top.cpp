#include "frm_Top.h"

#include "AppError.h"
#include "Clipboard.h"
#include "ClipboardRules.h"
#include "FileAccess.h"
#include "KeyboardLink.h"
#include "Presets.h"
#include "SettingsFile.h"
#include "WidgetStyle.h"
#include "WindowPlacement.h"
#include "frm_Site.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QValidator>

namespace {

constexpr int TwipsPerPixel = 15;

// No address is longer than what the watch accepts; a longer text would only make every keystroke slow.
class InputLengthValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        return input.size() > MaxWatchedLength ? Invalid : Acceptable;
    }
};

} // namespace

frm_Top::frm_Top(const TopWindowServices& services)
    : m_services(services),
      m_request(*this, services.random),
      m_addresses(buildWidgets(), *this, AddressList::path(services.files.settingsFolder)),
      m_preview(*this, m_request,
                {services.random, services.png, services.urls, services.messages, services.files.pagesFolder}),
      m_help(this, services.urls, services.messages, services.shell, services.files.guideFile)
{
    resize(TopWindowWidgets::ClientWidth, TopWindowWidgets::ClientHeight + menuBar()->sizeHint().height());
    connectOptionReactions();
    connectCommandReactions();
    Form_Load();
    m_w.tim_ClipCh->start();
}

frm_Top::~frm_Top()
{
    // The controls are destroyed after this part of the window is gone, and some
    // still signal on their way out (the input box emits activated): cut them off first.
    m_services.clipboard.onChange({});
    for (QObject* child : findChildren<QObject*>()) {
        child->disconnect(this);
        child->removeEventFilter(this);
    }
}

QComboBox* frm_Top::buildWidgets()
{
    m_w.build(this);
    return m_w.txt_MailAdd;
}

void frm_Top::connectOptionReactions()
{
    for (QCheckBox* box : {m_w.chk_dot_ent, m_w.chk_att_ent, m_w.chk_syutu[0], m_w.chk_syutu[1], m_w.chk_syutu[2]})
        connect(box, &QCheckBox::toggled, this, [this] { optionChanged(); });
    connect(m_w.chk_Ret, &QCheckBox::toggled, this, [this] { chk_Ret_Click(); });
    connect(m_w.opt_ent_att, &QRadioButton::toggled, this, [this](bool selected) {
        if (!selected)
            return;
        m_w.chk_att_ent->setChecked(true);
        m_w.chk_att_ent->setEnabled(false);
        optionChanged();
    });
    for (QRadioButton* option : {m_w.opt_ent_all, m_w.opt_ent_rand}) {
        connect(option, &QRadioButton::toggled, this, [this](bool selected) {
            if (!selected)
                return;
            m_w.chk_att_ent->setEnabled(true);
            optionChanged();
        });
    }
}

void frm_Top::connectCommandReactions()
{
    // Typing raises the edit reaction; a text set by the program raises it in setInputText.
    connect(m_w.txt_MailAdd->lineEdit(), &QLineEdit::textEdited, this, [this] { txt_MailAdd_Change(); });
    m_w.txt_MailAdd->setValidator(new InputLengthValidator(this));
    connect(m_w.txt_MailAdd->lineEdit(), &QLineEdit::inputRejected, this, [this] {
        showErrorLine(tr("入力できるのは%1文字までです。").arg(MaxWatchedLength));
    });
    // The combo box also reports a pick when the input loses the focus with a text that stands in its list, which
    // would empty the output in the middle of Alt+X or Alt+C: only a pick in the list itself (mouse or keys) counts.
    disconnect(m_w.txt_MailAdd->lineEdit(), &QLineEdit::editingFinished, m_w.txt_MailAdd, nullptr);
    connect(m_w.txt_MailAdd, &QComboBox::activated, this, [this] { txt_MailAdd_Click(); });
    connect(m_w.txt_MailAdd_Ent, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_w.lbl_MailAdd_ent_mojisu->setText(QString::number(codePointCount(text)));
    });
    m_w.txt_MailAdd_Ent->installEventFilter(this);
    connect(m_w.cmd_Hen, &QPushButton::clicked, this, [this] { cmd_Hen_Click(); });
    connect(m_w.cmd_Clip, &QPushButton::clicked, this, [this] { cmd_Clip_Click(); });
    connect(m_w.cmdRegister, &QPushButton::clicked, this, [this] { m_addresses.Register(); });
    connect(m_w.cmdDelete, &QPushButton::clicked, this, [this] { m_addresses.Delete(); });
    // A box or dialog of a reaction runs its own event loop, where the ticks would
    // otherwise arrive in the middle of that reaction; they wait for it to end instead.
    const auto betweenReactions = [this](void (frm_Top::*tick)()) {
        return [this, tick] {
            if (QApplication::activeModalWidget() == nullptr)
                (this->*tick)();
        };
    };
    connect(m_w.time_fg, &QTimer::timeout, this, betweenReactions(&frm_Top::time_fg_Timer));
    connect(m_w.tim_ClipCh, &QTimer::timeout, this, betweenReactions(&frm_Top::ClipboardWatch));
    m_services.clipboard.onChange([this] {
        m_clipboardChanged = true;
        m_copiedDuringModal = QApplication::activeModalWidget() != nullptr;
    });
    connect(m_w.mn_file_end, &QAction::triggered, this, [this] { mn_file_end_Click(); });
    connect(m_w.mn_file_site, &QAction::triggered, this, [this] {
        auto* site = new frm_Site([this] { return settings(); }, this,
                                 SettingsFile::path(m_services.files.settingsFolder));
        site->setAttribute(Qt::WA_DeleteOnClose);
        site->show();
    });
    connect(m_w.mn_pre, &QAction::triggered, this, [this] { mn_pre_Click(); });
    connect(m_w.mn_help_web, &QAction::triggered, this, [this] { m_help.mn_help_web_Click(); });
    connect(m_w.mn_help_guide, &QAction::triggered, this, [this] { m_help.mn_help_guide_Click(); });
    connect(m_w.mn_help_vis, &QAction::triggered, this, [this] { m_help.mn_help_vis_Click(); });
    connect(m_w.mn_help_ver, &QAction::triggered, this, [this] { m_help.mn_help_ver_Click(); });
    for (QLabel* note : m_w.lbl_tag_setu) {
        note->installEventFilter(this);
        connect(static_cast<KeyboardLink*>(note), &KeyboardLink::followedByKey, this, [this] { m_help.lbl_tag_setu_Click(); });
    }
    for (int i = 0; i < m_w.mn_set_kiju.size(); ++i)
        connect(m_w.mn_set_kiju[i], &QAction::triggered, this, [this, i] { mn_set_kiju_Click(i); });
}

void frm_Top::FLD_MK()
{
    FileAccess::makeFolder(m_services.files.pagesFolder + QStringLiteral("/JSP"));
}

void frm_Top::Form_Load()
{
    FLD_MK();
    m_addresses.LoadAddressList();
    applySettings(SettingsFile::load(SettingsFile::path(m_services.files.settingsFolder)));
    updateInputCount();
    selectInputWithoutFocus();
    RetClickCount = 1;
}

void frm_Top::applySettings(const StoredSettings& s)
{
    try {
        placeWindow(s.left, s.top);
        m_w.chk_Ret->setChecked(s.lineBreak == 1);
        m_w.chk_att_ent->setChecked(s.atAlways == 1);
        m_w.chk_dot_ent->setChecked(s.dotAlways == 1);
        m_w.chk_syutu[0]->setChecked(s.decimal == 1);
        m_w.chk_syutu[1]->setChecked(s.hex == 1);
        m_w.chk_syutu[2]->setChecked(s.percent == 1);
        QRadioButton* scopes[] = {m_w.opt_ent_rand, m_w.opt_ent_all, m_w.opt_ent_att};
        for (int i = 0; i < 3; ++i)
            if (s.scopeTrue[i])
                scopes[i]->setChecked(true);
        if (s.version == 0) {
            m_w.opt_ent_rand->setChecked(true);
            m_w.chk_syutu[0]->setChecked(true);
            m_w.chk_att_ent->setChecked(true);
            m_w.chk_dot_ent->setChecked(true);
        }
        if (s.mail.size() > MaxWatchedLength) {
            showErrorLine(tr("前回の入力は%1文字を超えるため読み込みませんでした。").arg(MaxWatchedLength));
        } else if (!s.mail.isEmpty()) {
            setInputText(s.mail);
            m_services.clipboard.clear();
        }
    } catch (const AppError& e) {
        ReportTrappedError(e);
    }
}

void frm_Top::placeWindow(int leftTwips, int topTwips)
{
    m_savedPlace = QPoint(leftTwips, topTwips);
    QList<QRect> screens;
    for (QScreen* screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    const QPoint wanted(leftTwips / TwipsPerPixel, topTwips / TwipsPerPixel);
    move(WindowPlacement::placeOnScreens(wanted, frameGeometry().size(), screens));
}

void frm_Top::saveSettings()
{
    if (m_settingsSaved)
        return;
    m_settingsSaved = true;
    StoredSettings s;
    // Where the window system never says where the window is, the place read at start is kept for the next start.
    const QPoint place =
        WindowPlacement::platformGivesPositions() ? frameGeometry().topLeft() * TwipsPerPixel : m_savedPlace;
    s.top = place.y();
    s.left = place.x();
    s.mail = inputText();
    s.version = 1;
    s.lineBreak = m_w.chk_Ret->isChecked();
    s.atAlways = m_w.chk_att_ent->isChecked();
    s.dotAlways = m_w.chk_dot_ent->isChecked();
    s.decimal = m_w.chk_syutu[0]->isChecked();
    s.hex = m_w.chk_syutu[1]->isChecked();
    s.percent = m_w.chk_syutu[2]->isChecked();
    s.scopeTrue = {m_w.opt_ent_rand->isChecked(), m_w.opt_ent_all->isChecked(), m_w.opt_ent_att->isChecked()};
    try {
        SettingsFile::save(SettingsFile::path(m_services.files.settingsFolder), s);
    } catch (const AppError& e) {
        // Losing the options silently would surprise the user at the next start.
        showMessage({e.description() + QLatin1Char(':') + QString::number(e.number()), tr("エラー"),
                     MessageIcon::Critical, MessageButtons::Ok});
    }
}

void frm_Top::closeEvent(QCloseEvent* event)
{
    saveSettings();
    event->accept();
}

void frm_Top::mn_file_end_Click()
{
    saveSettings();
    QCoreApplication::exit(0);
}

void frm_Top::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    const int outer = frameGeometry().width();
    m_w.Line3->resize(outer, m_w.Line3->height());
    // The band starts left of the client area; reaching past the right edge needs that part as well.
    m_w.Shape1->resize(outer + 200 / TwipsPerPixel - m_w.Shape1->x(), m_w.Shape1->height());
}

bool frm_Top::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_w.txt_MailAdd_Ent && event->type() == QEvent::MouseButtonDblClick) {
        SelectAllOutput(*this);
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease && m_w.lbl_tag_setu.contains(watched)) {
        m_help.lbl_tag_setu_Click();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void frm_Top::ReportTrappedError(const AppError& error)
{
    if (error.number() != AppError::ClipboardUnavailable)
        showMessage(errorNumberMessage(error.number()));
}

void frm_Top::cmd_Hen_Click()
{
    if (!inputText().isEmpty()) {
        ConvertInput();
        return;
    }
    m_w.txt_MailAdd->setFocus();
    showErrorLine(tr("入力してから変換を押してください。"));
}

void frm_Top::chk_Ret_Click()
{
    ++RetClickCount;
    if (RetClickCount != 1)
        optionChanged();
}

void frm_Top::optionChanged()
{
    if (!m_holdConversions)
        ConvertInput();
}

void frm_Top::txt_MailAdd_Change()
{
    forgetOutput(true);
}

// A pick from the list leaves the input count as it was until the next edit.
void frm_Top::txt_MailAdd_Click()
{
    forgetOutput(false);
}

void frm_Top::forgetOutput(bool countInput)
{
    try {
        // The clear keeps the watch from catching an old copy again; a copy made while a
        // box was open, which the watch has not looked at yet, is not old.
        if (!m_copiedDuringModal)
            m_services.clipboard.clear();
        if (countInput)
            updateInputCount();
        setOutputText(QString());
        lbl_color_format(*this);
        hideErrorLine();
    } catch (const AppError& e) {
        ReportTrappedError(e);
    }
}

void frm_Top::cmd_Clip_Click()
{
    try {
        if (outputText().isEmpty())
            ConvertInput();
        if (inputText().isEmpty()) {
            m_w.txt_MailAdd->setFocus();
            showErrorLine(tr("入力してからClipコピーを押してください。"));
            return;
        }
        if (outputText().isEmpty()) {
            ConvertInput();
            return;
        }
        m_services.clipboard.clear();
        m_services.clipboard.setText(outputText());
        m_lastTaken = trimSpaces(outputText());
        m_w.lbl_cpfg->show();
        m_w.time_fg->start();
        time_fg_Timer();
        SelectAllInput(*this);
    } catch (const AppError& e) {
        ReportTrappedError(e);
    }
}

void frm_Top::time_fg_Timer()
{
    if (CopyFlashCount != 1) {
        ++CopyFlashCount;
        return;
    }
    m_w.lbl_cpfg->hide();
    CopyFlashCount = 0;
    m_w.time_fg->stop();
}

// Reads only after the system said the clipboard changed, so a big or slow clipboard
// costs one read per copy, not one every tick. The text may come after the tick that
// asked for it, and is taken as it comes.
void frm_Top::ClipboardWatch()
{
    takeReadText(); // one that came while a box was open
    if (!m_clipboardChanged || m_reading)
        return;
    m_clipboardChanged = false;
    m_reading = true;
    try {
        m_services.clipboard.readText(MaxWatchedLength, [this](const QString& text) {
            m_reading = false;
            m_readText = text;
            takeReadText();
        });
    } catch (const AppError& e) {
        m_reading = false;
        m_clipboardChanged = e.number() == AppError::ClipboardUnavailable; // tried again at the next tick
        ReportTrappedError(e);
    }
}

// Not while a box is open, which would put it in the middle of a reaction; and a text
// older than the last change is dropped: taking it would clear a copy never looked at.
void frm_Top::takeReadText()
{
    if (!m_readText || QApplication::activeModalWidget() != nullptr)
        return;
    const QString text = trimSpaces(*m_readText);
    m_readText.reset();
    if (m_clipboardChanged)
        return;
    m_copiedDuringModal = false;
    // Where a cleared clipboard keeps or gets back its text (Wayland compositors and clipboard managers), the
    // same copy is reported again after every clear: it is taken once, and again only after another text.
    if (text == m_lastTaken)
        return;
    m_lastTaken.clear();
    try {
        if (!AcceptClipboardText(text))
            return;
        m_lastTaken = text; // one equal to the input counts as taken, so a later edit is not undone
        if (text == inputText())
            return;
        setInputText(text);
        updateInputCount();
        selectInputWithoutFocus();
        m_services.clipboard.clear();
    } catch (const AppError& e) {
        ReportTrappedError(e);
    }
}

// The preset's intermediate states are never seen, so one conversion with its final
// options replaces the one per changed box; a long input then converts once, not ten times.
void frm_Top::mn_set_kiju_Click(int index)
{
    m_holdConversions = true;
    Presets::Apply(index, m_w);
    m_holdConversions = false;
    if (index >= 0 && index <= 6 && index != 5) {
        ConvertInput();
        hideErrorLine();
    }
}

void frm_Top::mn_pre_Click()
{
    if (inputText().isEmpty()) {
        showErrorLine(tr("入力してからプレビューを押してください。"));
        m_w.txt_MailAdd->setFocus();
        return;
    }
    m_preview.run();
}

void frm_Top::updateInputCount()
{
    m_w.lbl_MailAdd_mojisu->setText(QString::number(codePointCount(inputText())));
}

void frm_Top::selectInputWithoutFocus()
{
    m_w.txt_MailAdd->lineEdit()->setSelection(0, int(inputText().size()));
}
