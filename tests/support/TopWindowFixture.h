#pragma once

#include "AppError.h"
#include "Clipboard.h"
#include "DesktopShell.h"
#include "FakeMessagePresenter.h"
#include "LibPngWriter.h"
#include "Random.h"
#include "UrlOpener.h"
#include "frm_Top.h"

#include <QtTest>
#include <QtWidgets>

// Tells of changes as the system's; a non-zero failNext is thrown next; answerLater holds a read until answer().
struct FakeClipboard : Clipboard
{
    QString content;
    int failNext = 0, reads = 0;
    bool answerLater = false, clearKeeps = false; // clearKeeps: as a compositor that gives a cleared text back
    std::function<void()> answer, changed;

    void copyElsewhere(const QString& text) { content = text; if (changed) changed(); }
    void readText(qsizetype maxLength, std::function<void(const QString&)> done) override
    {
        check();
        ++reads;
        answer = [done, text = content.size() > maxLength ? QString() : content] { done(text); };
        if (!answerLater) answer();
    }
    void setText(const QString& text) override { check(); copyElsewhere(text); }
    void clear() override { setText(clearKeeps ? content : QString()); }
    void onChange(std::function<void()> handler) override { changed = std::move(handler); }
    void check() { if (failNext != 0) throw AppError(std::exchange(failNext, 0)); }
};

// The desktop: records the URLs given to it; a non-zero exitCode makes every opener fail with it.
struct FakeDesktop : UrlOpener, DesktopShell
{
    QList<QUrl> opened;
    int exitCode = 0;
    bool pdfViewer = true;
    void open(const QUrl& url, std::function<void(int)> failed) override
    {
        opened.append(url);
        if (exitCode != 0 && failed) failed(exitCode);
    }
    bool hasPdfViewer() override { return pdfViewer; }
};

// A main window over fakes, in a temporary program folder (or in root, when set).
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
    FakeDesktop urls;
    std::unique_ptr<frm_Top> window;
    QString root;

    QString base() const { return root.isEmpty() ? folder.path() : root; }
    void writeFile(const QString& name, const QByteArray& bytes)
    {
        QDir(base()).mkpath(QFileInfo(name).path());
        if (QFile file(base() + '/' + name); file.open(QIODevice::WriteOnly)) file.write(bytes);
    }
    QByteArray readFile(const QString& name) const
    {
        QFile file(base() + '/' + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    frm_Top& start(const QString& name = {}, const QByteArray& bytes = {})
    {
        if (!name.isEmpty()) writeFile(name, bytes);
        window = std::make_unique<frm_Top>(
            TopWindowServices{clipboard, messages, random, png, urls, urls, FileLocations::portable(base())});
        return *window;
    }
    TopWindowWidgets& w() { return window->widgets(); }
    QString output() { return w().txt_MailAdd_Ent->text(); }
    QString errorLine() { return w().lbl_err_ms->isHidden() ? QString() : w().lbl_err_ms->text(); }
    // The input, its count, the output and its count, as the window shows them.
    QString fields()
    {
        return QStringList{window->inputText(), w().lbl_MailAdd_mojisu->text(), output(),
                           w().lbl_MailAdd_ent_mojisu->text()}
            .join('|');
    }
    void type(const QString& text) { QTest::keyClicks(w().txt_MailAdd->lineEdit(), text); }
    void typeOver(const QString& text) { w().txt_MailAdd->lineEdit()->selectAll(); type(text); }
    // The boxes for decimal, hex, percent, @, full stop and line break as 1/0 for ticked or not ("x"/"-" when
    // greyed out), then the scope: r (random), a (all) or @ (@ only).
    QString options()
    {
        QString states;
        const TopWindowWidgets& b = w();
        for (QCheckBox* box : {b.chk_syutu[0], b.chk_syutu[1], b.chk_syutu[2], b.chk_att_ent, b.chk_dot_ent, b.chk_Ret})
            states += "0-1x"[box->isChecked() * 2 + !box->isEnabled()];
        return states + (b.opt_ent_rand->isChecked() ? 'r' : b.opt_ent_all->isChecked() ? 'a' : '@');
    }
};
