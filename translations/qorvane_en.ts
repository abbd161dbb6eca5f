<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>AddressImage</name>
    <message>
        <source>mpng.dllが存在しません。</source>
        <translation>The PNG library is missing, so no image can be written.</translation>
    </message>
    <message>
        <source>DLLエラー</source>
        <translation>Library Error</translation>
    </message>
</context>
<context>
    <name>AddressList</name>
    <message>
        <source>エラー</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>空白は登録できません。</source>
        <translation>An empty input cannot be added to the list.</translation>
    </message>
    <message>
        <source>入力エラー</source>
        <translation>Input Error</translation>
    </message>
    <message>
        <source>保存できない文字が含まれているため、登録できません。</source>
        <translation>The input holds characters that the address list cannot store, so it was not added.</translation>
    </message>
    <message>
        <source>すでに登録済みです。</source>
        <translation>This address is already in the list.</translation>
    </message>
    <message>
        <source>登録済み</source>
        <translation>Already Listed</translation>
    </message>
    <message>
        <source>登録しました。</source>
        <translation>The address was added to the list.</translation>
    </message>
    <message>
        <source>登録</source>
        <translation>Added</translation>
    </message>
    <message>
        <source>削除するメールアドレスが入力されていません。</source>
        <translation>Type or pick the address to delete first.</translation>
    </message>
    <message>
        <source>削除しますか？</source>
        <translation>Delete this address from the list?</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>このデータは登録されていないため、削除できませんでした。</source>
        <translation>This address is not in the list, so nothing was deleted.</translation>
    </message>
    <message>
        <source>削除しました。</source>
        <translation>The address was deleted from the list.</translation>
    </message>
</context>
<context>
    <name>AppError</name>
    <message>
        <source>メモリが不足しています。</source>
        <translation>Out of memory.</translation>
    </message>
    <message>
        <source>ファイル名または番号が不正です。</source>
        <translation>Bad file name or number.</translation>
    </message>
    <message>
        <source>ファイルが見つかりません。</source>
        <translation>File not found.</translation>
    </message>
    <message>
        <source>ファイル モードが不正です。</source>
        <translation>Bad file mode.</translation>
    </message>
    <message>
        <source>ファイルは既に開かれています。</source>
        <translation>The file is already open.</translation>
    </message>
    <message>
        <source>デバイス I/O エラーです。</source>
        <translation>Device input/output error.</translation>
    </message>
    <message>
        <source>ディスクの空き容量が不足しています。</source>
        <translation>The disk is full.</translation>
    </message>
    <message>
        <source>ファイルにこれ以上データがありません。</source>
        <translation>Input past the end of the file.</translation>
    </message>
    <message>
        <source>デバイスが準備されていません。</source>
        <translation>The device is unavailable.</translation>
    </message>
    <message>
        <source>書き込みできません。</source>
        <translation>Permission denied.</translation>
    </message>
    <message>
        <source>ディスクが準備されていません。</source>
        <translation>The disk is not ready.</translation>
    </message>
    <message>
        <source>パス名が無効です。</source>
        <translation>Path or file access error.</translation>
    </message>
    <message>
        <source>パスが見つかりません。</source>
        <translation>Path not found.</translation>
    </message>
    <message>
        <source>クリップボードを開けません。</source>
        <translation>Cannot open the clipboard.</translation>
    </message>
    <message>
        <source>アプリケーション定義またはオブジェクト定義のエラーです。</source>
        <translation>Application-defined or object-defined error.</translation>
    </message>
</context>
<context>
    <name>CellStrip</name>
    <message>
        <source>10進数(＆#形式)</source>
        <translation>decimal reference</translation>
    </message>
    <message>
        <source>16進数(＆#x形式)</source>
        <translation>hexadecimal reference</translation>
    </message>
    <message>
        <source>16進(％形式)</source>
        <translation>percent escape</translation>
    </message>
    <message>
        <source>変換なし</source>
        <translation>unchanged</translation>
    </message>
    <message>
        <source>%1、%2</source>
        <translation>%1, %2</translation>
    </message>
</context>
<context>
    <name>ConversionRequest</name>
    <message>
        <source>出力形式が選択されていません。</source>
        <translation>No output form is selected.</translation>
    </message>
    <message>
        <source>「@」「.」</source>
        <translation>“@” and “.”</translation>
    </message>
    <message>
        <source>「%1」</source>
        <translation>“%1”</translation>
    </message>
    <message>
        <source>この設定では %1 を変換できません。</source>
        <translation>These options cannot convert %1.</translation>
    </message>
</context>
<context>
    <name>HelpCommands</name>
    <message>
        <source>操作ガイドが存在しません。</source>
        <translation>The user guide is missing.</translation>
    </message>
    <message>
        <source>エラー</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Adobe Acrobat Readerがインストールされていません。<byte value="xd"/>
Acrobat ReaderのWebページを開きますか？</source>
        <translation>No PDF reader is installed to open the user guide.
Open the Adobe Acrobat Reader download page?</translation>
    </message>
</context>
<context>
    <name>InfoWindow</name>
    <message>
        <source>OK(&amp;O)</source>
        <translation>&amp;OK</translation>
    </message>
</context>
<context>
    <name>PreviewCommand</name>
    <message>
        <source>エラー</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>QtMessagePresenter</name>
    <message>
        <source>はい(&amp;Y)</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>いいえ(&amp;N)</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>TopWindowWidgets</name>
    <message>
        <source>(※タグ内のみ)</source>
        <translation>(in tags only)</translation>
    </message>
    <message>
        <source>エラーメッセージ表示部分</source>
        <translation>Error message</translation>
    </message>
    <message>
        <source>メッセージ</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>変換したいメールアドレス or ホームページURL</source>
        <translation>Mail address or web page URL to convert</translation>
    </message>
    <message>
        <source>文字数:</source>
        <translation>Length:</translation>
    </message>
    <message>
        <source>変換したいメールアドレス・URLを入力</source>
        <translation>Type the mail address or URL to convert</translation>
    </message>
    <message>
        <source>変換(&amp;X)</source>
        <translation>Con&amp;vert</translation>
    </message>
    <message>
        <source>登録(&amp;S)</source>
        <translation>&amp;Add</translation>
    </message>
    <message>
        <source>削除(&amp;D)</source>
        <translation>&amp;Delete</translation>
    </message>
    <message>
        <source>適用部分</source>
        <translation>Forms:</translation>
    </message>
    <message>
        <source>10進</source>
        <translation>Dec</translation>
    </message>
    <message>
        <source>16進(&amp;#)</source>
        <translation>Hex &amp;#</translation>
    </message>
    <message>
        <source>16進(%)</source>
        <translation>Hex %</translation>
    </message>
    <message>
        <source>改行コード</source>
        <translation>Line break</translation>
    </message>
    <message>
        <source>100文字まで表示</source>
        <translation>First 100 characters</translation>
    </message>
    <message>
        <source>適用表示</source>
        <translation>How each character was written</translation>
    </message>
    <message>
        <source>変換後のメールアドレス or ホームページURL</source>
        <translation>Converted address or URL</translation>
    </message>
    <message>
        <source>コピー完了！</source>
        <translation>Copied!</translation>
    </message>
    <message>
        <source>Clipコピー(&amp;C)</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>エンティティ化</source>
        <translation>Convert</translation>
    </message>
    <message>
        <source>＠マークのみ</source>
        <translation>@ only</translation>
    </message>
    <message>
        <source>全て</source>
        <translation>All</translation>
    </message>
    <message>
        <source>ランダム(推奨)</source>
        <translation>Random (best)</translation>
    </message>
    <message>
        <source>エンティティ出力形式</source>
        <translation>Output forms</translation>
    </message>
    <message>
        <source>10進数(＆#形式)</source>
        <translation>Decimal (&amp;&amp;#)</translation>
    </message>
    <message>
        <source>16進数(＆#x形式)</source>
        <translation>Hex (&amp;&amp;#x)</translation>
    </message>
    <message>
        <source>16進(％形式)</source>
        <translation>Percent (%)</translation>
    </message>
    <message>
        <source>オプション</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>ピリオドをエンティティ化する</source>
        <translation>Always convert periods</translation>
    </message>
    <message>
        <source>@マークをエンティティ化する</source>
        <translation>Always convert @</translation>
    </message>
    <message>
        <source>改行コードを付加(推奨)</source>
        <translation>Add a line break (best)</translation>
    </message>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>サイト一括変換(&amp;S)...</source>
        <translation>Convert a &amp;Site...</translation>
    </message>
    <message>
        <source>Qorvaneの終了(&amp;X)</source>
        <translation>&amp;Quit</translation>
    </message>
    <message>
        <source>簡易設定(&amp;K)</source>
        <translation>Pre&amp;sets</translation>
    </message>
    <message>
        <source>HPのタグ内記述(&amp;N)</source>
        <translation>Web Page, &amp;Inside a Tag</translation>
    </message>
    <message>
        <source>HPのタグ外記述(&amp;G)</source>
        <translation>Web Page, &amp;Outside a Tag</translation>
    </message>
    <message>
        <source>i-modeページタグ内記述(&amp;I)</source>
        <translation>&amp;Mobile Page, Inside a Tag</translation>
    </message>
    <message>
        <source>i-modeページタグ外記述(&amp;M)</source>
        <translation>Mobile Page, Outside a &amp;Tag</translation>
    </message>
    <message>
        <source>BBSでの記述(&amp;B)</source>
        <translation>&amp;Bulletin Board</translation>
    </message>
    <message>
        <source>設定をデフォルトにする(&amp;D)</source>
        <translation>Restore &amp;Defaults</translation>
    </message>
    <message>
        <source>プレビュー(&amp;P)</source>
        <translation>&amp;Preview</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>Webヘルプを開く(&amp;W)</source>
        <translation>&amp;Web Help</translation>
    </message>
    <message>
        <source>操作ガイド(&amp;G)</source>
        <translation>User &amp;Guide</translation>
    </message>
    <message>
        <source>謝辞(&amp;T)</source>
        <translation>&amp;Thanks</translation>
    </message>
    <message>
        <source>バージョン情報(&amp;A)</source>
        <translation>&amp;About Qorvane</translation>
    </message>
    <message>
        <source>黄色: 10進数(＆#形式)</source>
        <translation>Yellow: decimal reference</translation>
    </message>
    <message>
        <source>緑色: 16進数(＆#x形式)</source>
        <translation>Green: hexadecimal reference</translation>
    </message>
    <message>
        <source>水色: 16進(％形式)</source>
        <translation>Light blue: percent escape</translation>
    </message>
    <message>
        <source>紫の線: 改行コードの位置</source>
        <translation>Purple line: where the line break goes</translation>
    </message>
    <message>
        <source>登録済みのアドレス</source>
        <translation>Saved addresses</translation>
    </message>
</context>
<context>
    <name>UrlOpener</name>
    <message>
        <source>ブラウザを起動できませんでした。
%1</source>
        <translation>The web browser could not be started.
%1</translation>
    </message>
    <message>
        <source>エラー</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>frm_Help</name>
    <message>
        <source>タグ内のみとは？</source>
        <translation>What does “in tags only” mean?</translation>
    </message>
    <message>
        <source>※タグ内・タグ外とは？</source>
        <translation>* Inside and outside a tag</translation>
    </message>
    <message>
        <source>メールはこちら</source>
        <translation>Write to me</translation>
    </message>
    <message>
        <source>この例で言うと、</source>
        <translation>In this example, </translation>
    </message>
    <message>
        <source>タグ内は青色</source>
        <translation>the blue part is inside the tag</translation>
    </message>
    <message>
        <source>の部分で、</source>
        <translation> and </translation>
    </message>
    <message>
        <source>タグ外は赤色</source>
        <translation>the red part is outside it</translation>
    </message>
    <message>
        <source>の部分になります。</source>
        <translation>.</translation>
    </message>
</context>
<context>
    <name>frm_Site</name>
    <message>
        <source>サイト一括変換</source>
        <translation>Convert a Site</translation>
    </message>
    <message>
        <source>ページ(.html .htm .xhtml)のあるフォルダ</source>
        <translation>Folder of pages (.html .htm .xhtml)</translation>
    </message>
    <message>
        <source>参照(&amp;B)...</source>
        <translation>&amp;Browse...</translation>
    </message>
    <message>
        <source>http/httpsのリンク先も変換する</source>
        <translation>Also convert http and https links</translation>
    </message>
    <message>
        <source>確認(&amp;D)</source>
        <translation>&amp;Dry Run</translation>
    </message>
    <message>
        <source>変換を実行(&amp;A)</source>
        <translation>&amp;Apply</translation>
    </message>
    <message>
        <source>中止(&amp;C)</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>閉じる(&amp;O)</source>
        <translation>Cl&amp;ose</translation>
    </message>
    <message>
        <source>ページ</source>
        <translation>Page</translation>
    </message>
    <message>
        <source>アドレス数</source>
        <translation>Addresses</translation>
    </message>
    <message>
        <source>状態</source>
        <translation>State</translation>
    </message>
    <message>
        <source>行</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>変換前</source>
        <translation>Before</translation>
    </message>
    <message>
        <source>変換後</source>
        <translation>After</translation>
    </message>
    <message>
        <source>フォルダを選んで「確認」を押してください。</source>
        <translation>Choose a folder and press Dry Run.</translation>
    </message>
    <message>
        <source>フォルダ:</source>
        <translation>Folder:</translation>
    </message>
    <message>
        <source>変換するフォルダの選択</source>
        <translation>Choose the Folder to Convert</translation>
    </message>
    <message>
        <source>中止しています...</source>
        <translation>Cancelling...</translation>
    </message>
    <message>
        <source>フォルダを選択してください。</source>
        <translation>Choose a folder.</translation>
    </message>
    <message>
        <source>フォルダが見つかりません。</source>
        <translation>The folder does not exist.</translation>
    </message>
    <message>
        <source>出力形式が選択されていません。</source>
        <translation>No output form is selected in the main window.</translation>
    </message>
    <message>
        <source>確認しています...</source>
        <translation>Checking...</translation>
    </message>
    <message>
        <source>変換しています...</source>
        <translation>Converting...</translation>
    </message>
    <message>
        <source>確認の後に変更されていたため、新しく変換しました</source>
        <translation>Changed after the dry run, so converted anew</translation>
    </message>
    <message>
        <source>変換します</source>
        <translation>Will be converted</translation>
    </message>
    <message>
        <source>変換しました</source>
        <translation>Converted</translation>
    </message>
    <message numerus="yes">
        <source>%1ページ中 %2ページ、アドレス %n個</source>
        <translation>
            <numerusform>%2 of %1 pages, %n address</numerusform>
            <numerusform>%2 of %1 pages, %n addresses</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>、エラー %n件</source>
        <translation>
            <numerusform> (%n error)</numerusform>
            <numerusform> (%n errors)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>、確認の後に変更されたページ %n件は新しく変換</source>
        <translation>
            <numerusform> (%n page changed after the dry run was converted anew)</numerusform>
            <numerusform> (%n pages changed after the dry run were converted anew)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>、隠しファイル・フォルダ %n件は対象外</source>
        <translation>
            <numerusform> (%n hidden file or folder left out)</numerusform>
            <numerusform> (%n hidden files or folders left out)</numerusform>
        </translation>
    </message>
    <message>
        <source>中止しました。それまでのページは</source>
        <translation>Stopped. The pages done so far </translation>
    </message>
    <message>
        <source>確認済みです。</source>
        <translation>were checked.</translation>
    </message>
    <message>
        <source>変換済みです。</source>
        <translation>were converted.</translation>
    </message>
    <message>
        <source>確認しました: </source>
        <translation>Dry run: </translation>
    </message>
    <message>
        <source>を変換します</source>
        <translation> would be converted</translation>
    </message>
    <message>
        <source>。</source>
        <translation>.</translation>
    </message>
    <message>
        <source>変換後も収集ロボットが読めるアドレス: そのまま %1個、参照を復号して %2個、表記を戻して %3個</source>
        <translation>Addresses a harvester can read after the rewrite: raw %1, decoded %2, spelled %3</translation>
    </message>
    <message>
        <source>変換しました: </source>
        <translation>Converted: </translation>
    </message>
    <message>
        <source>ファイルが見つかりません。</source>
        <translation>File not found.</translation>
    </message>
    <message>
        <source>文字コードを判定できません。</source>
        <translation>The character encoding cannot be recognised.</translation>
    </message>
    <message>
        <source>文字コード %1 には対応していません。</source>
        <translation>The character encoding %1 is not supported.</translation>
    </message>
    <message>
        <source>この設定では %1 を変換できません。</source>
        <translation>These options cannot hide %1.</translation>
    </message>
    <message>
        <source>変換結果の確認で問題が見つかったため変更しません。</source>
        <translation>Left unchanged: the check of the result found a problem.</translation>
    </message>
    <message>
        <source>読み取り専用のため変更しません。</source>
        <translation>Left unchanged: the file is read-only.</translation>
    </message>
    <message>
        <source>指定したフォルダの外を指すリンクのため変更しません。</source>
        <translation>Left unchanged: a link to outside the chosen folder.</translation>
    </message>
    <message>
        <source>リンク先が見つかりません。</source>
        <translation>The link points to nothing.</translation>
    </message>
    <message>
        <source>通常のファイルではないため開きません。</source>
        <translation>Not opened: not a regular file.</translation>
    </message>
    <message>
        <source>ハードリンクが %1 個あるため変更しません。</source>
        <translation>Left unchanged: the file has %1 hard links.</translation>
    </message>
    <message>
        <source>変換中にほかのプログラムが変更したため、そのままにしました。</source>
        <translation>Left as it was: another program changed it during the run.</translation>
    </message>
    <message>
        <source>ほかの変換がこのフォルダを処理中です。終わってからやり直してください。</source>
        <translation>Another run is working on this folder. Try again when it has finished.</translation>
    </message>
    <message>
        <source>フォルダ</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>変換するページ</source>
        <translation>Pages to convert</translation>
    </message>
    <message>
        <source>変換される行</source>
        <translation>Lines that change</translation>
    </message>
    <message>
        <source>進行状況</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>文字参照で書く</source>
        <translation>Write as character references</translation>
    </message>
    <message>
        <source>スクリプトで表示(読み込み時)</source>
        <translation>Join by script (on load)</translation>
    </message>
    <message>
        <source>スクリプトで表示(操作したとき)</source>
        <translation>Join by script (when a person acts)</translation>
    </message>
    <message>
        <source>変換方式</source>
        <translation>Method</translation>
    </message>
    <message>
        <source>設定を保存できませんでした: %1</source>
        <translation>The choices could not be saved: %1</translation>
    </message>
    <message>
        <source>スクリプトを書き込めないため、このフォルダのページは変更しません: %1</source>
        <translation>The script cannot be written, so no page in this folder is changed: %1</translation>
    </message>
    <message>
        <source>%1行目のタグの属性が%2個を超えるため変更しません。</source>
        <translation>A tag on line %1 has more than %2 attributes; left unchanged.</translation>
    </message>
    <message>
        <source>%1行目で要素の入れ子が%2段を超えるため変更しません。</source>
        <translation>Elements are nested more than %2 deep on line %1; left unchanged.</translation>
    </message>
</context>
<context>
    <name>frm_Top</name>
    <message>
        <source>入力できるのは%1文字までです。</source>
        <translation>The input can be at most %1 characters long.</translation>
    </message>
    <message>
        <source>前回の入力は%1文字を超えるため読み込みませんでした。</source>
        <translation>The last input was longer than %1 characters and was not loaded.</translation>
    </message>
    <message>
        <source>エラー</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>入力してから変換を押してください。</source>
        <translation>Type an address, then press Convert.</translation>
    </message>
    <message>
        <source>入力してからClipコピーを押してください。</source>
        <translation>Type an address, then press Copy.</translation>
    </message>
    <message>
        <source>入力してからプレビューを押してください。</source>
        <translation>Type an address, then choose Preview.</translation>
    </message>
</context>
<context>
    <name>frm_Ver</name>
    <message>
        <source>Qorvaneのバージョン情報</source>
        <translation>About Qorvane</translation>
    </message>
    <message>
        <source>ご意見・ご感想・バグ情報はこちらまで</source>
        <translation>Comments, ideas and bug reports</translation>
    </message>
    <message>
        <source>Qorvane プロジェクト</source>
        <translation>The Qorvane Project</translation>
    </message>
    <message>
        <source>メールアドレス</source>
        <translation>Mail</translation>
    </message>
    <message>
        <source>Copyright (C) 2002-2026 Qorvane プロジェクト</source>
        <translation>Copyright (C) 2002-2026 The Qorvane Project</translation>
    </message>
</context>
<context>
    <name>frm_Vis</name>
    <message>
        <source>謝辞</source>
        <translation>Thanks</translation>
    </message>
    <message>
        <source>本ソフトウェアをバージョンアップするにあたり、</source>
        <translation>For their help with this version, many thanks to</translation>
    </message>
    <message>
        <source>スパム・迷惑メール調査にご協力頂いた方</source>
        <translation>everyone who helped us study spam and junk mail,</translation>
    </message>
    <message>
        <source>掲示板</source>
        <translation>on the bulletin board</translation>
    </message>
    <message>
        <source>/ メールにて機能追加提案を頂いた方</source>
        <translation>or by mail, everyone who suggested new features,</translation>
    </message>
    <message>
        <source>ホームページ</source>
        <translation>on web pages</translation>
    </message>
    <message>
        <source>雑誌掲載</source>
        <translation>in magazines</translation>
    </message>
    <message>
        <source>等で、紹介して頂いた方</source>
        <translation>and elsewhere, everyone who wrote about it,</translation>
    </message>
    <message>
        <source>本ソフトを使用頂いた方に感謝します。</source>
        <translation>and everyone who uses it.</translation>
    </message>
</context>
</TS>
