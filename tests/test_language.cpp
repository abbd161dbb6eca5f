#include "CellStrip.h"
#include "QtMessagePresenter.h"
#include "TopWindowFixture.h"
#include "UiTranslators.h"
#include "frm_Help.h"
#include "frm_Site.h"
#include "frm_Ver.h"
#include "frm_Vis.h"

using Texts = QMap<QString, QString>;

static bool hasJapanese(const QString& text)
{
    static const QRegularExpression japanese("[\\x{3000}-\\x{30FF}\\x{4E00}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]");
    return text.contains(japanese);
}

static void speak(UiLanguage language)
{
    setCurrentUiLanguage(language); installTranslators(language);
}

// All a person sees or a screen reader says of a window, keyed by where it stands; each focusable control is named.
static void collect(QWidget* window, Texts& texts)
{
    texts[window->objectName() + "/title"] = window->windowTitle();
    int index = 0;
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    for (QWidget* w : widgets << window) {
        const QString at = QString("%1/%2/%3/%4")
                               .arg(window->objectName(), w->objectName(), w->metaObject()->className())
                               .arg(++index);
        auto* shown = QAccessible::queryAccessibleInterface(w);
        if (w->focusPolicy() & Qt::TabFocus && w->isVisibleTo(window))
            QVERIFY2(shown && !shown->text(QAccessible::Name).isEmpty() && shown->role() > 0, qPrintable(at));
        texts[at + "/name"] = shown ? shown->text(QAccessible::Name) : QString(); texts[at + "/tip"] = w->toolTip();
        for (const char* property : {"text", "title", "placeholderText"}) // an edit box's text is the user's
            texts[at + property] = qobject_cast<QLineEdit*>(w) ? QString() : w->property(property).toString();
        if (auto* tree = qobject_cast<QTreeWidget*>(w))
            for (QTreeWidgetItem* item : {tree->headerItem(), tree->topLevelItem(0)})
                for (int c = 0; item && c < item->columnCount(); ++c)
                    texts[at + QString("/%1/%2").arg(item == tree->headerItem()).arg(c)] =
                        item->text(c) + '|' + item->data(c, Qt::AccessibleTextRole).toString();
        if (auto* table = qobject_cast<QTableView*>(w))
            for (int c = 0; c < table->model()->columnCount(); ++c)
                texts[at + QString("/head%1").arg(c)] = table->model()->headerData(c, Qt::Horizontal).toString();
        for (QAction* action : w->actions())
            texts[QString("%1/action%2").arg(at).arg(texts.size())] = action->text();
    }
}

// The main window, its site window and information windows, the error line and every box, in one language.
static Texts everything(UiLanguage language)
{
    speak(language);
    Texts texts;
    TopWindowFixture f(TopWindowFixture::Started);
    f.writeFile("site/a.html", "<p>a@b.cd</p>");
    collect(f.window.get(), texts);
    for (auto reaction : {&frm_Top::cmd_Hen_Click, &frm_Top::cmd_Clip_Click, &frm_Top::mn_pre_Click}) {
        (f.window.get()->*reaction)(); texts[QString("error line %1").arg(texts.size())] = f.errorLine();
    }
    f.w().cmdRegister->click(); f.w().cmdDelete->click();
    f.type("a@b.c");
    f.w().chk_syutu[0]->setChecked(false); texts["error line no form"] = f.errorLine();
    f.w().chk_syutu[0]->setChecked(true);
    f.w().cmdRegister->click(); f.w().cmdRegister->click();
    f.messages.answers = {MessageAnswer::Yes, MessageAnswer::Yes}; f.w().cmdDelete->click();
    f.type("x@y.z"); f.w().cmdDelete->click();
    f.w().mn_help_guide->trigger();
    f.writeFile("操作ガイド.pdf", "%PDF-1.4"); f.writeFile("operating-guide.pdf", "%PDF-1.4");
    f.urls.pdfViewer = false; f.urls.exitCode = 1; f.messages.answers = {MessageAnswer::Yes};
    f.w().mn_help_guide->trigger(); // answered Yes, and the browser fails
    for (int number : {7, 52, 53, 54, 55, 57, 61, 62, 68, 70, 71, 75, 76, 521, 1})
        texts[QString("error %1").arg(number)] = AppError::descriptionOf(number);
    QDir(f.base()).mkdir("Preview.htm"); // the preview cannot write its page
    f.w().mn_pre->trigger();
    for (const Message& box : f.messages.shown)
        texts[QString("box %1").arg(texts.size())] = box.title + ": " + box.text;

    HelpCommands& help = f.window->help();
    f.w().mn_help_ver->trigger(); f.w().mn_help_vis->trigger();
    help.lbl_tag_setu_Click();
    for (QWidget* info : QList<QWidget*>{help.versionWindow(), help.acknowledgementsWindow(), help.tagHelpWindow()})
        collect(info, texts);

    f.w().mn_file_site->trigger(); auto* site = f.window->findChild<frm_Site*>();
    QSignalSpy finished(site, &frm_Site::runFinished);
    site->setNextFolderAnswer(f.base() + "/site");
    site->cmd_Browse_Click(); site->cmd_Check_Click();
    [&] { QTRY_COMPARE(finished.count(), 1); }();
    collect(site, texts);

    QtMessagePresenter presenter;
    QTimer::singleShot(0, [&texts] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        for (QAbstractButton* button : box->buttons())
            texts[QString("box button %1").arg(box->buttons().indexOf(button))] = button->text();
        box->buttons().first()->click();
    });
    presenter.show({"?", "", MessageIcon::None, MessageButtons::YesNo});
    return texts;
}

class LanguageTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { speak(UiLanguage::Japanese); }

    // English shows no Japanese; Japanese shows its own texts wherever English differs.
    void everyTextSpeaksTheWindowsLanguage()
    {
        const Texts english = everything(UiLanguage::English), japanese = everything(UiLanguage::Japanese);
        QCOMPARE(english.keys(), japanese.keys());
        QVERIFY(english.size() > 300);
        int translated = 0;
        for (const QString& at : english.keys()) {
            QVERIFY2(!hasJapanese(english[at]), qPrintable(at + ": " + english[at]));
            if (english[at] != japanese[at]) {
                QVERIFY2(hasJapanese(japanese[at]) || japanese[at].startsWith("OK("),
                         qPrintable(at + ": " + japanese[at]));
                ++translated;
            }
        }
        QVERIFY(translated > 200);
    }

    // Each cell is announced by its character and form, the strip as one list of the cells that show one.
    void cellsAreAListOfCharactersAndForms_data()
    {
        QTest::addColumn<UiLanguage>("language"); QTest::addColumn<int>("form"); QTest::addColumn<bool>("atOnly");
        QTest::addColumn<QString>("names"); // as announced, joined by "|"
        using L = UiLanguage;
        QTest::newRow("decimal") << L::English << 0 << false << "a, decimal reference|@, decimal reference";
        QTest::newRow("hex") << L::English << 1 << false << "a, hexadecimal reference|@, hexadecimal reference";
        QTest::newRow("percent") << L::English << 2 << true << "a, unchanged|@, percent escape";
        QTest::newRow("Japanese") << L::Japanese << 1 << true << "a、変換なし|@、16進数(＆#x形式)";
    }
    void cellsAreAListOfCharactersAndForms()
    {
        QFETCH(UiLanguage, language); QFETCH(int, form); QFETCH(bool, atOnly); QFETCH(QString, names);
        speak(language);
        TopWindowFixture f(TopWindowFixture::Started);
        f.type("a@");
        for (int i = 0; i < 3; ++i) f.w().chk_syutu[i]->setChecked(i == form);
        (atOnly ? f.w().opt_ent_att : f.w().opt_ent_all)->setChecked(true);
        QAccessibleInterface* strip = QAccessible::queryAccessibleInterface(f.w().cellStrip);
        QCOMPARE(strip->role(), QAccessible::List);
        QStringList announced;
        for (int i = 0; i < strip->childCount(); ++i) {
            QCOMPARE(strip->child(i)->role(), QAccessible::ListItem);
            announced << strip->child(i)->text(QAccessible::Name);
        }
        QCOMPARE(announced.join('|'), names);
        QVERIFY(f.w().cellStrip->focusPolicy() & Qt::TabFocus);
    }

    // The places were made for the Japanese captions; an English one that needs more room gets it.
    void noEnglishCaptionIsCut()
    {
        speak(UiLanguage::English);
        TopWindowFixture f(TopWindowFixture::Started);
        for (QWidget* w : f.window->findChildren<QWidget*>()) {
            auto* button = qobject_cast<QPushButton*>(w); // whose size hint asks for a wider button than its text
            const int needed = button ? button->fontMetrics().horizontalAdvance(button->text().remove('&')) + 8
                                      : w->sizeHint().width();
            if ((qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w)) && w->isVisibleTo(f.window.get()))
                QVERIFY2(needed <= w->width(), qPrintable(w->objectName()));
        }
    }

    void tagNoteOpensItsHelpFromTheKeyboard()
    {
        TopWindowFixture f(TopWindowFixture::Started);
        for (QLabel* note : f.w().lbl_tag_setu) {
            QCOMPARE(QAccessible::queryAccessibleInterface(note)->role(), QAccessible::Link);
            QTest::keyClick(note, Qt::Key_Space);
            QVERIFY(f.window->help().tagHelpWindow());
            f.window->help().tagHelpWindow()->close();
            QTRY_VERIFY(!f.window->help().tagHelpWindow());
        }
    }
};

QTEST_MAIN(LanguageTest)
#include "test_language.moc"
