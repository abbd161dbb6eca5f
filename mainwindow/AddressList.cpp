#include "AddressList.h"

#include "AppError.h"
#include "ConversionRequest.h"
#include "ConversionView.h"
#include "Cp932.h"
#include "FileAccess.h"

#include <QComboBox>

QList<QByteArray> AddressList::parseFile(const QByteArray& bytes)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= bytes.size(); ++i) {
        if (i < bytes.size() && bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        if (i > start)
            lines.append(bytes.mid(start, i - start));
        if (i + 1 < bytes.size() && bytes[i] == '\r' && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    return lines;
}

namespace {

QByteArray readOrEmpty(const QString& path)
{
    if (!FileAccess::exists(path))
        return {};
    return FileAccess::read(path);
}

Message info(const QString& text, const QString& title)
{
    return {text, title, MessageIcon::Information, MessageButtons::Ok};
}

// Changing the items of an editable combo box moves its current item, and with it
// the edit text; the input must stay what the user or the program put there.
class KeepEditText
{
public:
    explicit KeepEditText(QComboBox* list) : m_list(list), m_text(list->currentText()) {}
    ~KeepEditText()
    {
        m_list->setCurrentIndex(-1);
        if (m_list->currentText() != m_text)
            m_list->setEditText(m_text);
    }

private:
    QComboBox* m_list;
    QString m_text;
};

} // namespace

AddressList::AddressList(QComboBox* list, ConversionView& view, QString filePath)
    : m_list(list), m_view(view), m_path(std::move(filePath))
{
}

QString AddressList::path(const QString& settingsFolder)
{
    return settingsFolder + QStringLiteral("/add.dat");
}

void AddressList::appendItem(const QString& text, const QByteArray& bytes)
{
    m_list->addItem(text, bytes);
}

void AddressList::reportError(int number)
{
    m_view.showMessage({AppError::descriptionOf(number) + QLatin1Char(':') + QString::number(number),
                        tr("エラー"), MessageIcon::Critical, MessageButtons::Ok});
}

void AddressList::LoadAddressList()
{
    KeepEditText keep(m_list);
    m_list->clear();
    try {
        for (const QByteArray& line : parseFile(FileAccess::read(m_path)))
            appendItem(Cp932::decode(line), line);
    } catch (const AppError& e) {
        if (e.number() != AppError::FileNotFound) {
            reportError(e.number());
            return;
        }
        try {
            FileAccess::writeAtomically(m_path, {});
        } catch (const AppError&) {
            // A folder we cannot write to shows itself when the user registers.
        }
    }
}

void AddressList::Register()
{
    const QString text = m_view.inputText();
    if (text.isEmpty()) {
        m_view.showMessage(info(tr("空白は登録できません。"), tr("入力エラー")));
        return;
    }
    try {
        const QByteArray existing = readOrEmpty(m_path);
        const auto bytes = Cp932::encode(text);
        if (!bytes || bytes->contains('\r') || bytes->contains('\n')) {
            m_view.showMessage(info(tr("保存できない文字が含まれているため、登録できません。"), tr("入力エラー")));
            SelectAllInput(m_view);
            return;
        }
        if (parseFile(existing).contains(*bytes)) {
            m_view.showMessage(info(tr("すでに登録済みです。"), tr("登録済み")));
        } else {
            // A hand-edited file may lack its last line end; the new entry must not join that line.
            const bool needsBreak = !existing.isEmpty() && !existing.endsWith('\r') && !existing.endsWith('\n');
            // The whole file is written anew, so a failed write cannot leave a cut line behind.
            FileAccess::writeAtomically(m_path, existing + (needsBreak ? "\r\n" : "") + *bytes + "\r\n");
            {
                KeepEditText keep(m_list);
                appendItem(text, *bytes);
            }
            m_view.showMessage(info(tr("登録しました。"), tr("登録")));
        }
        SelectAllInput(m_view);
    } catch (const AppError& e) {
        reportError(e.number());
    }
}

// The entry's bytes: those of the picked item, whose line may not decode cleanly,
// or else the input in code page 932. Lines that only decode alike are other entries.
std::optional<QByteArray> AddressList::chosenBytes(const QString& text) const
{
    const int picked = m_list->currentIndex();
    if (picked >= 0 && m_list->itemText(picked) == text)
        return m_list->itemData(picked).toByteArray();
    return Cp932::encode(text);
}

bool AddressList::removeAll(const QString& text)
{
    const auto bytes = chosenBytes(text);
    KeepEditText keep(m_list);
    bool found = false;
    for (int i = m_list->count() - 1; bytes && i >= 0; --i) {
        if (m_list->itemData(i).toByteArray() == *bytes) {
            m_list->removeItem(i);
            found = true;
        }
    }
    return found;
}

void AddressList::Delete()
{
    try {
        const QString text = m_view.inputText();
        if (text.isEmpty()) {
            m_view.showMessage({tr("削除するメールアドレスが入力されていません。"), tr("入力エラー"),
                                MessageIcon::Critical, MessageButtons::Ok});
        } else if (m_view.showMessage({tr("削除しますか？"), tr("Delete"), MessageIcon::None,
                                       MessageButtons::YesNo})
                   == MessageAnswer::Yes) {
            if (!removeAll(text)) {
                m_view.showMessage(info(tr("このデータは登録されていないため、削除できませんでした。"), tr("エラー")));
            } else {
                QByteArray content;
                for (int i = 0; i < m_list->count(); ++i)
                    content += m_list->itemData(i).toByteArray() + "\r\n";
                FileAccess::writeAtomically(m_path, content);
                m_view.setInputText(QString());
                m_view.showMessage({tr("削除しました。"), QString(), MessageIcon::None, MessageButtons::Ok});
            }
        }
        SelectAllInput(m_view);
    } catch (const AppError& e) {
        if (e.number() != AppError::PathNotFound)
            reportError(e.number());
    }
}
