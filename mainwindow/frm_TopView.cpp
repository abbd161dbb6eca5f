// How the conversion engine sees the main window: its texts, options and display.
#include "frm_Top.h"

#include "CellStrip.h"
#include "WidgetStyle.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

QString frm_Top::inputText() const
{
    return m_w.txt_MailAdd->currentText();
}

void frm_Top::setInputText(const QString& text)
{
    if (text == inputText())
        return;
    m_w.txt_MailAdd->setEditText(text);
    txt_MailAdd_Change();
}

QString frm_Top::outputText() const
{
    return m_w.txt_MailAdd_Ent->text();
}

void frm_Top::setOutputText(const QString& text)
{
    m_w.txt_MailAdd_Ent->setText(text);
}

ConversionSettings frm_Top::settings() const
{
    ConversionSettings s;
    s.decimal = m_w.chk_syutu[0]->isChecked();
    s.hex = m_w.chk_syutu[1]->isChecked();
    s.percent = m_w.chk_syutu[2]->isChecked();
    s.scope = m_w.opt_ent_all->isChecked()   ? EntityScope::All
              : m_w.opt_ent_att->isChecked() ? EntityScope::AtOnly
                                             : EntityScope::Random;
    s.dotAlways = m_w.chk_dot_ent->isChecked();
    s.atAlways = m_w.chk_att_ent->isChecked();
    s.lineBreak = m_w.chk_Ret->isChecked();
    return s;
}

void frm_Top::showErrorLine(const QString& caption)
{
    m_w.lbl_err_ms->setText(caption);
    m_w.lbl_err_ms->show();
}

void frm_Top::hideErrorLine()
{
    m_w.lbl_err_ms->hide();
}

void frm_Top::setInputLengthCaption(const QString& caption)
{
    m_w.lbl_MailAdd_mojisu->setText(caption);
}

void frm_Top::setCellCaption(int cell, const QString& caption)
{
    m_w.cellStrip->setCellText(cell, caption);
}

void frm_Top::setCellColour(int cell, WinColour colour)
{
    m_w.cellStrip->setCellColour(cell, colour);
}

void frm_Top::showBreakMarker(int marker, WinColour colour)
{
    WidgetStyle::setBackground(m_w.lin_RET[marker], WidgetStyle::fromWinColour(colour));
    m_w.lin_RET[marker]->show();
    m_w.lin_RET[marker]->raise();
}

void frm_Top::hideBreakMarker(int marker)
{
    m_w.lin_RET[marker]->hide();
}

void frm_Top::focusDecimalBox()
{
    m_w.chk_syutu[0]->setFocus();
}

void frm_Top::focusAndSelectAllInput()
{
    m_w.txt_MailAdd->setFocus();
    selectInputWithoutFocus();
}

void frm_Top::focusAndSelectAllOutput()
{
    m_w.txt_MailAdd_Ent->setFocus();
    m_w.txt_MailAdd_Ent->setSelection(0, int(outputText().size()));
}

MessageAnswer frm_Top::showMessage(const Message& message)
{
    return m_services.messages.show(message);
}
