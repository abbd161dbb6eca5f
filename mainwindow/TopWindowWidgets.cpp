#include "TopWindowWidgets.h"

#include "CellStrip.h"
#include "KeyboardLink.h"
#include "UiLanguage.h"
#include "WidgetStyle.h"

#include <QCheckBox>
#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

using WidgetStyle::fromWinColour;
using WidgetStyle::japaneseFont;
using WidgetStyle::setBackground;
using WidgetStyle::setForeground;

namespace {

constexpr int CellX = 16;
constexpr int CellY = 102;
constexpr int CellWidth = 8;
constexpr int CellHeight = 14;

template <typename W>
W* place(W* widget, const QString& name, int x, int y, int width, int height)
{
    widget->setObjectName(name);
    widget->setGeometry(x, y, width, height);
    return widget;
}

QLabel* label(QWidget* parent, const QString& name, const QString& text, int x, int y, int width, int height = 16)
{
    auto* l = place(new QLabel(text, parent), name, x, y, width, height);
    l->setTextFormat(Qt::PlainText);
    return l;
}

QFrame* line(QWidget* parent, const QString& name, const QColor& colour, int x, int y, int width, int height)
{
    auto* f = place(new QFrame(parent), name, x, y, width, height);
    setBackground(f, colour);
    return f;
}

QLabel* tagNote(QWidget* parent, int index, int x, int y)
{
    auto* l = place(new KeyboardLink(TopWindowWidgets::tr("(※タグ内のみ)"), parent),
                    QStringLiteral("lbl_tag_setu_%1").arg(index), x, y, 90, 14);
    l->setTextFormat(Qt::PlainText);
    l->setFont(japaneseFont(QStringLiteral("MS UI Gothic"), 8.25, false, true));
    setForeground(l, QColor(0xFF, 0, 0));
    l->setCursor(Qt::PointingHandCursor);
    return l;
}

} // namespace

void TopWindowWidgets::build(QMainWindow* window)
{
    auto* area = new QWidget(window);
    area->setObjectName(QStringLiteral("frm_Top_client"));
    area->setFont(japaneseFont(QStringLiteral("MS UI Gothic"), 9));
    window->setCentralWidget(area);
    window->setWindowTitle(QStringLiteral("Qorvane"));

    Shape1 = line(area, QStringLiteral("Shape1"), QColor(0xE0, 0xE0, 0xE0), -16, 278, ClientWidth + 29, 40);
    Line3 = line(area, QStringLiteral("Line3"), QColor(0xC0, 0xC0, 0xC0), 0, 0, ClientWidth, 1);
    buildInputArea(area);
    buildDisplay(area);
    buildOutputArea(area);
    buildOptionFrames(area);

    lbl_err_ms = label(area, QStringLiteral("lbl_err_ms"), tr("エラーメッセージ表示部分"), 8, 287, 416, 16);
    lbl_err_ms->setToolTip(tr("メッセージ"));
    lbl_err_ms->setFont(japaneseFont(QStringLiteral("MS UI Gothic"), 9, true, true));
    setForeground(lbl_err_ms, QColor(0xFF, 0, 0));
    lbl_err_ms->hide();

    // The drawing surface of the address image lies below the visible client area.
    Picture1 = place(new QLabel(area), QStringLiteral("Picture1"), 0, ClientHeight + 40, 8, 15);
    Picture1->setFont(japaneseFont(QStringLiteral("ＭＳ ゴシック"), 12));

    tim_ClipCh = new QTimer(window);
    tim_ClipCh->setObjectName(QStringLiteral("tim_ClipCh"));
    tim_ClipCh->setInterval(500);
    time_fg = new QTimer(window);
    time_fg->setObjectName(QStringLiteral("time_fg"));
    time_fg->setInterval(2000);

    buildMenus(window);
    if (currentUiLanguage() == UiLanguage::English)
        growForEnglish(area);
}

// The places were made for the Japanese captions. Where an English one would be cut, its control grows into the
// free room beside it: a right-aligned caption to the left, any other to the right. The first option frame takes
// what its captions need from the last one, whose captions are short in English.
void TopWindowWidgets::growForEnglish(QWidget* area)
{
    for (QLabel* caption : area->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        const int missing = caption->sizeHint().width() - caption->width();
        if (missing <= 0 || caption->text().isEmpty())
            continue;
        const int left = caption->alignment() & Qt::AlignRight ? caption->x() - missing : caption->x();
        caption->setGeometry(left, caption->y(), caption->width() + missing, caption->height());
    }
    int missing = 0;
    for (QRadioButton* scope : {opt_ent_att, opt_ent_all, opt_ent_rand})
        missing = std::max(missing, scope->sizeHint().width() - scope->width());
    if (missing <= 0)
        return;
    auto* scopes = opt_ent_rand->parentWidget();
    auto* forms = chk_syutu[0]->parentWidget();
    auto* options = chk_dot_ent->parentWidget();
    scopes->resize(scopes->width() + missing, scopes->height());
    for (QRadioButton* scope : {opt_ent_att, opt_ent_all, opt_ent_rand})
        scope->resize(scope->width() + missing, scope->height());
    forms->move(forms->x() + missing, forms->y());
    options->setGeometry(options->x() + missing, options->y(), options->width() - missing, options->height());
    for (QCheckBox* option : {chk_dot_ent, chk_att_ent, chk_Ret})
        option->resize(option->width() - missing, option->height());
}

void TopWindowWidgets::buildInputArea(QWidget* area)
{
    const QString inputCaption = tr("変換したいメールアドレス or ホームページURL");
    QLabel* inputLabel = label(area, QStringLiteral("Label9"), inputCaption, 8, 6, 320);
    label(area, QStringLiteral("Label10"), tr("文字数:"), 344, 6, 44);
    lbl_MailAdd_mojisu = label(area, QStringLiteral("lbl_MailAdd_mojisu"), QStringLiteral("0"), 388, 6, 40);
    lbl_MailAdd_mojisu->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    txt_MailAdd = place(new QComboBox(area), QStringLiteral("txt_MailAdd"), 8, 22, 330, 30);
    txt_MailAdd->setEditable(true);
    txt_MailAdd->setInsertPolicy(QComboBox::NoInsert);
    txt_MailAdd->setCompleter(nullptr);
    txt_MailAdd->setFont(japaneseFont(QStringLiteral("MS UI Gothic"), 15.75));
    txt_MailAdd->setToolTip(tr("変換したいメールアドレス・URLを入力"));
    txt_MailAdd->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
    txt_MailAdd->setAccessibleName(inputCaption);
    inputLabel->setBuddy(txt_MailAdd); // on Linux a combo box is announced by its text, and labelled by this
    txt_MailAdd->lineEdit()->setAccessibleName(inputCaption);
    txt_MailAdd->view()->setAccessibleName(tr("登録済みのアドレス"));

    cmd_Hen = place(new QPushButton(tr("変換(&X)"), area), QStringLiteral("cmd_Hen"), 344, 22, 84, 30);
    cmdRegister = place(new QPushButton(tr("登録(&S)"), area), QStringLiteral("cmd登録"), 176, 56, 78, 22);
    cmdDelete = place(new QPushButton(tr("削除(&D)"), area), QStringLiteral("cmd削除"), 260, 56, 78, 22);
}

void TopWindowWidgets::buildDisplay(QWidget* area)
{
    label(area, QStringLiteral("Label3"), tr("適用部分"), 8, 84, 50);
    const struct
    {
        const char* name;
        const char* text;
        const char* meaning;
        int x, width;
        QColor colour;
    } legends[] = {{"Label5", QT_TR_NOOP("10進"), QT_TR_NOOP("黄色: 10進数(＆#形式)"), 62, 30, QColor(0xFF, 0xFF, 0x00)},
                   {"Label6", QT_TR_NOOP("16進(&#)"), QT_TR_NOOP("緑色: 16進数(＆#x形式)"), 96, 56, QColor(0x80, 0xFF, 0x80)},
                   {"Label7", QT_TR_NOOP("16進(%)"), QT_TR_NOOP("水色: 16進(％形式)"), 156, 48, QColor(0xC0, 0xFF, 0xFF)}};
    for (const auto& legend : legends) {
        QLabel* l = label(area, QString::fromUtf8(legend.name), tr(legend.text), legend.x, 84, legend.width);
        l->setAlignment(Qt::AlignCenter);
        l->setAccessibleName(tr(legend.meaning));
        setBackground(l, legend.colour);
    }
    QLabel* gomi = label(area, QStringLiteral("lbl_gomi"), tr("改行コード"), 208, 84, 62);
    gomi->setAlignment(Qt::AlignCenter);
    setBackground(gomi, QColor(0xC0, 0x00, 0xC0));
    setForeground(gomi, Qt::white);
    gomi->setAccessibleName(tr("紫の線: 改行コードの位置"));
    label(area, QStringLiteral("Label1"), tr("100文字まで表示"), 330, 84, 98)->setAlignment(Qt::AlignRight);

    QFont cellFont = japaneseFont(QStringLiteral("MS UI Gothic"), 6);
    cellFont.setPixelSize(9);
    constexpr int inset = CellStrip::Inset;
    cellStrip = place(new CellStrip(area), QStringLiteral("cellStrip"), CellX - inset, CellY - inset,
                      50 * CellWidth + 2 * inset, 2 * CellHeight + 1 + 2 * inset);
    cellStrip->setAccessibleName(tr("適用表示"));
    cellStrip->setToolTip(tr("適用表示"));
    for (int i = 0; i < 100; ++i) {
        QLabel* cell = label(cellStrip, QStringLiteral("lbl_mask_%1").arg(i), QString(), inset + (i % 50) * CellWidth,
                             inset + (i / 50) * (CellHeight + 1), CellWidth, CellHeight);
        cell->setFont(cellFont);
        cell->setAlignment(Qt::AlignCenter);
        cell->setToolTip(tr("適用表示"));
        cellStrip->addCell(cell, Colours::Grey);
        lbl_mask.append(cell);
    }
    const int right = CellX + 50 * CellWidth;
    line(area, QStringLiteral("Line1"), Qt::black, CellX - 1, CellY - 1, right - CellX + 2, 1);
    line(area, QStringLiteral("Line2"), Qt::black, CellX - 1, CellY + 2 * CellHeight + 1, right - CellX + 2, 1);
    line(area, QStringLiteral("Line5"), Qt::black, CellX - 1, CellY - 1, 1, 2 * CellHeight + 3);
    line(area, QStringLiteral("Line6"), Qt::black, right, CellY - 1, 1, 2 * CellHeight + 3);
    line(area, QStringLiteral("Line7"), Qt::black, CellX - 1, CellY + CellHeight, right - CellX + 2, 1);
    for (int k = 0; k < 49; ++k) {
        QFrame* marker = line(area, QStringLiteral("lin_RET_%1").arg(k), fromWinColour(0x00C000C0),
                              CellX + (k + 1) * CellWidth - 1, CellY - 3, 2, CellHeight + 6);
        marker->hide();
        lin_RET.append(marker);
    }
}

void TopWindowWidgets::buildOutputArea(QWidget* area)
{
    const QString outputCaption = tr("変換後のメールアドレス or ホームページURL");
    QLabel* outputLabel = label(area, QStringLiteral("Label8"), outputCaption, 8, 136, 250);
    lbl_cpfg = label(area, QStringLiteral("lbl_cpfg"), tr("コピー完了！"), 262, 136, 80);
    lbl_cpfg->setFont(japaneseFont(QStringLiteral("MS UI Gothic"), 9, true));
    setForeground(lbl_cpfg, QColor(0xC0, 0x00, 0x00));
    lbl_cpfg->hide();
    label(area, QStringLiteral("Label11"), tr("文字数:"), 344, 136, 44);
    lbl_MailAdd_ent_mojisu = label(area, QStringLiteral("lbl_MailAdd_ent_mojisu"), QStringLiteral("0"), 388, 136, 40);
    lbl_MailAdd_ent_mojisu->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    txt_MailAdd_Ent = place(new QLineEdit(area), QStringLiteral("txt_MailAdd_Ent"), 8, 152, 330, 26);
    txt_MailAdd_Ent->setMaxLength(std::numeric_limits<int>::max());
    txt_MailAdd_Ent->setAccessibleName(outputCaption);
    outputLabel->setBuddy(txt_MailAdd_Ent);
    cmd_Clip = place(new QPushButton(tr("Clipコピー(&C)"), area), QStringLiteral("cmd_Clip"), 344, 152, 84, 26);
}

void TopWindowWidgets::buildOptionFrames(QWidget* area)
{
    auto* frame2 = place(new QGroupBox(tr("エンティティ化"), area), QStringLiteral("Frame2"), 4, 184, 104, 90);
    opt_ent_att = place(new QRadioButton(tr("＠マークのみ"), frame2), QStringLiteral("opt_ent_att"), 4, 18, 98, 20);
    opt_ent_all = place(new QRadioButton(tr("全て"), frame2), QStringLiteral("opt_ent_all"), 4, 40, 98, 20);
    opt_ent_rand = place(new QRadioButton(tr("ランダム(推奨)"), frame2), QStringLiteral("opt_ent_rand"), 4, 62, 98, 20);
    opt_ent_rand->setChecked(true);

    auto* frame3 = place(new QGroupBox(tr("エンティティ出力形式"), area), QStringLiteral("Frame3"), 110, 184, 120, 90);
    const QString forms[] = {tr("10進数(＆#形式)"), tr("16進数(＆#x形式)"), tr("16進(％形式)")};
    for (int i = 0; i < 3; ++i)
        chk_syutu.append(place(new QCheckBox(forms[i], frame3), QStringLiteral("chk_syutu_%1").arg(i), 4, 16 + 17 * i, 114, 18));
    chk_syutu[0]->setChecked(true);
    lbl_tag_setu.append(tagNote(frame3, 0, 26, 70));

    auto* frame1 = place(new QGroupBox(tr("オプション"), area), QStringLiteral("Frame1"), 232, 184, 196, 90);
    chk_dot_ent = place(new QCheckBox(tr("ピリオドをエンティティ化する"), frame1), QStringLiteral("chk_dot_ent"), 6, 16, 188, 18);
    chk_att_ent = place(new QCheckBox(tr("@マークをエンティティ化する"), frame1), QStringLiteral("chk_att_ent"), 6, 33, 188, 18);
    chk_Ret = place(new QCheckBox(tr("改行コードを付加(推奨)"), frame1), QStringLiteral("chk_Ret"), 6, 50, 188, 18);
    chk_dot_ent->setChecked(true);
    chk_att_ent->setChecked(true);
    lbl_tag_setu.append(tagNote(frame1, 1, 26, 70));
}

void TopWindowWidgets::buildMenus(QMainWindow* window)
{
    QMenuBar* bar = window->menuBar();
    QMenu* file = bar->addMenu(tr("ファイル(&F)"));
    file->setObjectName(QStringLiteral("mn_file"));
    mn_file_site = file->addAction(tr("サイト一括変換(&S)..."));
    mn_file_site->setObjectName(QStringLiteral("mn_file_site"));
    file->addSeparator();
    mn_file_end = file->addAction(tr("Qorvaneの終了(&X)"));
    mn_file_end->setObjectName(QStringLiteral("mn_file_end"));
    mn_file_end->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu* presets = bar->addMenu(tr("簡易設定(&K)"));
    presets->setObjectName(QStringLiteral("mn_set"));
    const char* captions[] = {QT_TR_NOOP("HPのタグ内記述(&N)"),
                              QT_TR_NOOP("HPのタグ外記述(&G)"),
                              QT_TR_NOOP("i-modeページタグ内記述(&I)"),
                              QT_TR_NOOP("i-modeページタグ外記述(&M)"),
                              QT_TR_NOOP("BBSでの記述(&B)"),
                              nullptr,
                              QT_TR_NOOP("設定をデフォルトにする(&D)")};
    for (int i = 0; i < 7; ++i) {
        QAction* item = captions[i] ? presets->addAction(tr(captions[i])) : presets->addSeparator();
        item->setObjectName(QStringLiteral("mn_set_kiju_%1").arg(i));
        mn_set_kiju.append(item);
    }

    mn_pre = bar->addAction(tr("プレビュー(&P)"));
    mn_pre->setObjectName(QStringLiteral("mn_pre"));

    QMenu* help = bar->addMenu(tr("ヘルプ(&H)"));
    help->setObjectName(QStringLiteral("mn_help"));
    mn_help_web = help->addAction(tr("Webヘルプを開く(&W)"));
    mn_help_web->setObjectName(QStringLiteral("mn_help_web"));
    mn_help_web->setShortcut(QKeySequence(Qt::Key_F1));
    mn_help_guide = help->addAction(tr("操作ガイド(&G)"));
    mn_help_guide->setObjectName(QStringLiteral("mn_help_guide"));
    mn_help_vis = help->addAction(tr("謝辞(&T)"));
    mn_help_vis->setObjectName(QStringLiteral("mn_help_vis"));
    help->addSeparator()->setObjectName(QStringLiteral("mn_help_line"));
    mn_help_ver = help->addAction(tr("バージョン情報(&A)"));
    mn_help_ver->setObjectName(QStringLiteral("mn_help_ver"));
}
