#pragma once

#include <QCoreApplication>
#include <QList>

class CellStrip;
class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QPushButton;
class QRadioButton;
class QTimer;
class QWidget;

// Every control of the main window, created with its caption, font, colour and
// place by build(); the window wires their reactions.
struct TopWindowWidgets
{
    Q_DECLARE_TR_FUNCTIONS(TopWindowWidgets)

public:
    QPushButton* cmdRegister = nullptr; // cmd登録
    QPushButton* cmdDelete = nullptr;   // cmd削除
    QCheckBox* chk_dot_ent = nullptr;
    QCheckBox* chk_att_ent = nullptr;
    QCheckBox* chk_Ret = nullptr;
    QList<QLabel*> lbl_tag_setu;
    QList<QCheckBox*> chk_syutu;
    QRadioButton* opt_ent_att = nullptr;
    QRadioButton* opt_ent_all = nullptr;
    QRadioButton* opt_ent_rand = nullptr;
    QTimer* tim_ClipCh = nullptr;
    QComboBox* txt_MailAdd = nullptr;
    QTimer* time_fg = nullptr;
    QPushButton* cmd_Clip = nullptr;
    QPushButton* cmd_Hen = nullptr;
    QLineEdit* txt_MailAdd_Ent = nullptr;
    QLabel* Picture1 = nullptr;
    QLabel* lbl_err_ms = nullptr;
    QFrame* Shape1 = nullptr;
    QFrame* Line3 = nullptr;
    QList<QFrame*> lin_RET;
    QLabel* lbl_cpfg = nullptr;
    CellStrip* cellStrip = nullptr; // holds lbl_mask
    QList<QLabel*> lbl_mask;
    QLabel* lbl_MailAdd_ent_mojisu = nullptr;
    QLabel* lbl_MailAdd_mojisu = nullptr;

    QAction* mn_file_site = nullptr;
    QAction* mn_file_end = nullptr;
    QList<QAction*> mn_set_kiju;
    QAction* mn_pre = nullptr;
    QAction* mn_help_web = nullptr;
    QAction* mn_help_guide = nullptr;
    QAction* mn_help_vis = nullptr;
    QAction* mn_help_ver = nullptr;

    void build(QMainWindow* window);

    // The design client area, 6480 x 4665 twips at 15 twips a pixel.
    static constexpr int ClientWidth = 432;
    static constexpr int ClientHeight = 311;

private:
    void buildInputArea(QWidget* area);
    void buildDisplay(QWidget* area);
    void buildOutputArea(QWidget* area);
    void buildOptionFrames(QWidget* area);
    void buildMenus(QMainWindow* window);
    void growForEnglish(QWidget* area);
};
