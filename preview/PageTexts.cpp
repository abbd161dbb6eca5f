#include "PageTexts.h"

#include "Cp932.h"

namespace {

const PageTexts Japanese{
    .utf8 = false,
    .pageOpening = QStringLiteral("<html><title>エンティティプレビュー</title>"),
    .sourceOpening = QStringLiteral("<html>"),
    .supportHeading = QStringLiteral("<strong>このエンティティでの対応ブラウザ</strong>(今のエンティティ部分:黄色)<br>"),
    .blank = QStringLiteral("　"),
    .supported = QStringLiteral("○"),
    .decimalColumn = QStringLiteral("10進(&amp;#)"),
    .hexColumn = QStringLiteral("16進(&amp;#x)"),
    .percentColumn = QStringLiteral("16進(%)"),
    .browsers = {QStringLiteral("InternetExplorer 3.0～4.01"), QStringLiteral("InternetExplorer 5.0以降"),
                 QStringLiteral("Netscape Communicator 4.04～4.73"), QStringLiteral("Netscape Communicator 4.75以降"),
                 QStringLiteral("Netscape 6以降")},
    .notesHexUsed = QStringLiteral("<strong>解説</strong><br>InternetExplorer5.0以降・Natscape4.75以降のバージョンに対応しています。<br>"
                                   "全てのブラウザに対応させる場合は、エンティティ出力形式を10進または16進(%)形式に設定してください。<hr>"),
    .notesAllBrowsers = QStringLiteral("<strong>解説</strong><br>InternetExplorer, Natscapeの全てのバージョンに対応しています。<hr><br>"),
    .plainExample = QStringLiteral("<strong>%1リンクの作成例(通常記述)</strong><br><br>"),
    .scriptExample = QStringLiteral("<strong>%1リンクの作成例(JavaScript + png記述)</strong><br><font color=\"#ff0000\">"
                                    "※JavaScriptが未対応のブラウザ・設定で切ってある場合、%2のpng画像が表示されます。</font>"
                                    "<br>png表示 -> <img src=\"JSP/mailadd.png\"><br><br>"),
    .mailImage = QStringLiteral("メールアドレス"),
    .urlImage = QStringLiteral("URL"),
    .captionHeading = QStringLiteral("<strong>文字での表示</strong><br>"),
    .mailHeading = QStringLiteral("<strong>メールアドレスでの表示</strong><br>"),
    .urlHeading = QStringLiteral("<strong>リンクでの表示</strong><br>"),
    .mailCaption = QStringLiteral("メールはこちら"),
    .urlCaption = QStringLiteral("リンクはこちら"),
    .viewSource = QStringLiteral("(ソースを見る)"),
    .cannotShow = QStringLiteral("できません。(表示させるにはエンティティ出力形式をタグ内のみ以外に設定してください。)<hr>"),
    .tagNoteHeading = QStringLiteral("<br>※タグ内・タグ外とは？<br>"),
    .tagNoteExplanation = QStringLiteral("<br><br>この例で言うと、<font color=#0000ff>タグ内は青色</font>の部分で、"
                                         "<font color=#ff0000>タグ外は赤色</font>の部分になります。"),
    .rightClick = QStringLiteral("右クリックして、ソースを表示を選択してください。"),
    .openImageFolder = QStringLiteral("　<font size=2><a href=\"../JSP\" Target=\"_blank\">"
                                      "png画像+HTMLソースが保存されているフォルダを開く</a></font><hr><br>"),
    .copyFrom = QStringLiteral("<!-- @@@@@@@@@@@@@ ここから @@@@@@@@@@@@@ -->"),
    .copyTo = QStringLiteral("<!-- @@@@@@@@@@@@@ ここまで @@@@@@@@@@@@@ -->"),
    .back = QStringLiteral("戻る"),
};

const PageTexts English{
    .utf8 = true,
    .pageOpening =
        QStringLiteral("<html><head><meta charset=\"utf-8\"><title>Preview of the hidden address</title></head>"),
    .sourceOpening = QStringLiteral("<html><head><meta charset=\"utf-8\"><title>Example source</title></head>"),
    .supportHeading =
        QStringLiteral("<strong>Browsers that read these forms</strong> (the forms used now are yellow)<br>"),
    .blank = QStringLiteral("&nbsp;"),
    .supported = QStringLiteral("✓"),
    .decimalColumn = QStringLiteral("Decimal (&amp;#)"),
    .hexColumn = QStringLiteral("Hex (&amp;#x)"),
    .percentColumn = QStringLiteral("Hex (%)"),
    .browsers = {QStringLiteral("Internet Explorer 3.0–4.01"), QStringLiteral("Internet Explorer 5.0 and later"),
                 QStringLiteral("Netscape Communicator 4.04–4.73"),
                 QStringLiteral("Netscape Communicator 4.75 and later"),
                 QStringLiteral("Netscape 6 and later")},
    .notesHexUsed = QStringLiteral("<strong>Notes</strong><br>Works in Internet Explorer 5.0 and later and in Netscape "
                                   "4.75 and later.<br>To reach every browser, choose decimal or hex (%) as the output "
                                   "form.<hr>"),
    .notesAllBrowsers = QStringLiteral("<strong>Notes</strong><br>Works in every version of Internet Explorer and "
                                       "Netscape.<hr><br>"),
    .plainExample = QStringLiteral("<strong>A %1 link in plain HTML</strong><br><br>"),
    .scriptExample = QStringLiteral("<strong>A %1 link written by JavaScript, with an image</strong><br>"
                                    "<font color=\"#ff0000\">* Where JavaScript is missing or turned off, the browser "
                                    "shows a PNG image of the %2 instead.</font><br>The image: <img src=\"JSP/mailadd.png\">"
                                    "<br><br>"),
    .mailImage = QStringLiteral("mail address"),
    .urlImage = QStringLiteral("URL"),
    .captionHeading = QStringLiteral("<strong>With a caption</strong><br>"),
    .mailHeading = QStringLiteral("<strong>Showing the address</strong><br>"),
    .urlHeading = QStringLiteral("<strong>Showing the URL</strong><br>"),
    .mailCaption = QStringLiteral("Send us an email"),
    .urlCaption = QStringLiteral("Visit the page"),
    .viewSource = QStringLiteral("(view source)"),
    .cannotShow = QStringLiteral("Not available: the address uses percent escapes, which work only inside a tag. "
                                 "(To show it here, turn off the hex (%) form.)<hr>"),
    .tagNoteHeading = QStringLiteral("<br>* What is inside and outside the tag?<br>"),
    .tagNoteExplanation = QStringLiteral("<br><br>In this example, <font color=#0000ff>the blue part is inside the "
                                         "tag</font> and <font color=#ff0000>the red part is outside it</font>."),
    .rightClick = QStringLiteral("Right-click the page and choose View Page Source."),
    .openImageFolder = QStringLiteral(" <font size=2><a href=\"../JSP\" Target=\"_blank\">"
                                      "Open the folder with the PNG image and the HTML source</a></font><hr><br>"),
    .copyFrom = QStringLiteral("<!-- @@@@@@@@@@@@@ copy from here @@@@@@@@@@@@@ -->"),
    .copyTo = QStringLiteral("<!-- @@@@@@@@@@@@@ to here @@@@@@@@@@@@@ -->"),
    .back = QStringLiteral("Back"),
};

} // namespace

QByteArray PageTexts::encode(const QString& page) const
{
    return utf8 ? page.toUtf8() : Cp932::encodeWithReferences(page);
}

const PageTexts& PageTexts::of(UiLanguage language)
{
    return language == UiLanguage::English ? English : Japanese;
}
