#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>
#include <optional>

class ConversionView;
class QComboBox;

// The saved addresses: add.dat in the program folder and the input's drop-down
// list that mirrors it. Each list item keeps the exact bytes of its file line, so
// a rewrite never changes an entry it did not remove.
class AddressList
{
    Q_DECLARE_TR_FUNCTIONS(AddressList)

public:
    AddressList(QComboBox* list, ConversionView& view, QString filePath);

    void LoadAddressList();
    void Register();
    void Delete();

    static QString path(const QString& settingsFolder);
    // The entries of an address file: lines end at CR LF, a lone CR or a lone LF,
    // and empty lines carry no entry.
    static QList<QByteArray> parseFile(const QByteArray& bytes);

private:
    void appendItem(const QString& text, const QByteArray& bytes);
    std::optional<QByteArray> chosenBytes(const QString& text) const;
    bool removeAll(const QString& text);
    void reportError(int number);

    QComboBox* m_list;
    ConversionView& m_view;
    QString m_path;
};
