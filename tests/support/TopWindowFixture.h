#pragma once

#include "FakeClipboard.h"
#include "FakeDesktopShell.h"
#include "FakeMessagePresenter.h"
#include "FakeUrlOpener.h"
#include "LibPngWriter.h"
#include "Random.h"
#include "frm_Top.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// A main window over fakes, in a temporary program folder.
struct TopWindowFixture
{
    enum Start { Started };
    TopWindowFixture() = default;
    explicit TopWindowFixture(Start) { start(); }

    QTemporaryDir folder;
    FakeClipboard clipboard;
    FakeMessagePresenter messages;
    SystemRandom random;
    LibPngWriter png;
    FakeUrlOpener urls;
    FakeDesktopShell shell;
    std::unique_ptr<frm_Top> window;
    QString root; // the program folder, when not the temporary one

    QString base() const { return root.isEmpty() ? folder.path() : root; }
    void writeFile(const QString& name, const QByteArray& bytes)
    {
        QFile file(base() + '/' + name);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    }
    QByteArray readFile(const QString& name) const
    {
        QFile file(base() + '/' + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    frm_Top& start()
    {
        window = std::make_unique<frm_Top>(TopWindowServices{clipboard, messages, random, png, urls, shell, FileLocations::portable(base())});
        return *window;
    }
    frm_Top& startWith(const QString& name, const QByteArray& bytes)
    {
        writeFile(name, bytes);
        return start();
    }
    TopWindowWidgets& w() { return window->widgets(); }
    QString output() { return w().txt_MailAdd_Ent->text(); }
    // Text typed into the input, as a user would.
    void type(const QString& text) { QTest::keyClicks(w().txt_MailAdd->lineEdit(), text); }
    // An entry chosen from the list, as a user would.
    void pick(int index)
    {
        w().txt_MailAdd->setCurrentIndex(index);
        emit w().txt_MailAdd->activated(index);
    }
    // The six boxes as '0'/'1': decimal, hex, percent, @, full stop, line break.
    QString boxes()
    {
        QString states;
        const TopWindowWidgets& b = w();
        for (QCheckBox* box : {b.chk_syutu[0], b.chk_syutu[1], b.chk_syutu[2], b.chk_att_ent, b.chk_dot_ent, b.chk_Ret})
            states += box->isChecked() ? '1' : '0';
        return states;
    }
};
