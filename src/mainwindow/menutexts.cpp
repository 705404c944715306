#include "menutexts.h"

#include <QtGlobal>

namespace {

TCommandText command(const char *name, const char *caption, const QKeySequence &shortcut,
                     const char *hint)
{
    return {QLatin1String(name), QString::fromUtf8(caption), shortcut, QString::fromUtf8(hint)};
}

QList<TCommandText> buildTexts()
{
    const QKeySequence none;
    return {
        // Tool bar
        command("ToolButton1", "開く", none,
                "一時ファイルを開く|Vantrellから転送された一時ファイルを開きます"),
        command("SaveBtn", "保存", none, "名前を付けて保存|名前を付けてファイルとして保存します"),
        command("PrintBtn", "印刷", none, "印刷|データを印刷します"),
        command(
            "ToolButton3", "通信", none,
            "Vantrellからのデータ転送|Vantrellから転送されたデータを受信しファイルを作成します"),
        command("GraphBtn", "グラフ", none,
                "グラフの作成・切り替え|"
                "グラフを作成し、Ｎｓｗと換算Ｎ値のグラフの表示を切り替えます"),
        command("ChangeBtn", "まるめ", none,
                "まるめ計算・表示切り替え|"
                "通常のデータと２５ｃｍにまるめたデータの表示を切り替えます"),

        command("File1", "ﾌｧｲﾙ(&F)", none, "ファイルを作成・保存・印刷します"),
        command("New1", "新規作成(&N)...", none, "手入力を開始としてデータを新規作成します。"),
        command("SaveAs1", "名前を付けて保存(&A)...", none, "名前を付けてファイルとして保存します"),
        command("Open1", "開く(&O)...", QKeySequence(Qt::CTRL | Qt::Key_O),
                "Tessmarkで保存したファイルを開きます"),
        command("N14", "一時ﾌｧｲﾙを開く...", none, "Vantrellから転送された一時ファイルを開きます"),
        command("KNewSite", "新規現場(&J)...", none,
                "複数の測点をまとめる現場を新しく作ります（位置図・断面図）"),
        command("KOpenSite", "現場を開く(&K)...", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O),
                "現場ファイル（.tsite）を開きます"),
        command("KArchive", "試験一覧(&L)...", QKeySequence(Qt::CTRL | Qt::Key_L),
                "保管したすべての試験を、場所・日付・名前で探します"),
        command("Print1", "印刷(&P)...", QKeySequence(Qt::CTRL | Qt::Key_P), "データを印刷します"),
        command("Exit1", "終了(&E)", none, "Tessmarkを終了します"),

        command("Term", "ﾃﾞｰﾀ通信(&T)", QKeySequence(Qt::CTRL | Qt::Key_T),
                "Vantrellとデータ通信を行います"),
        command("TermStart", "通信...", QKeySequence(Qt::Key_F5),
                "Vantrellから転送されたデータを受信しファイルを作成します"),

        command("K3", "ﾃﾞｰﾀ入力(&I)", none, "手入力のデータを入力・編集します"),
        command("KManuInp", "入力モード", QKeySequence(Qt::CTRL | Qt::Key_I),
                "手入力において入力モードにします"),
        command("KManuEdit", "編集モード", QKeySequence(Qt::CTRL | Qt::Key_E),
                "手入力において編集モードにします"),
        command("KManuInf", "試験情報入力...", QKeySequence(Qt::CTRL | Qt::Key_H),
                "手入力において試験情報を入力します"),

        command("G1", "ｸﾞﾗﾌ(&G)", none, "グラフを作成・表示します"),
        command("MakeGraph", "ｸﾞﾗﾌ作成", QKeySequence(Qt::Key_F12), "グラフを作成します"),
        command("N3", "ｸﾞﾗﾌ切り替え", QKeySequence(Qt::Key_F11),
                "Ｎｓｗと換算Ｎ値のグラフの表示を切り替えます"),

        command("KG1", "ﾃﾞｰﾀ(&D)", QKeySequence(Qt::Key_F3), "表示するデータを切り替えます"),
        command("Knd", "通常のﾃﾞｰﾀ", QKeySequence(Qt::CTRL | Qt::Key_F2),
                "通常のデータを表示します"),
        command("K25", "25cmまるめ", QKeySequence(Qt::Key_F2),
                "２５ｃｍにまるめたデータを表示します"),
        command("KEvaluate", "地盤評価(&V)...", QKeySequence(Qt::Key_F6),
                "基礎底面下の許容支持力と自沈層を評価します"),

        command("O1", "ｵﾌﾟｼｮﾝ(&O)", none, "Tessmarkの設定を変更します"),
        command("KS1", "設定(&S)...", none, "各種設定を行います"),

        command("Help1", "ﾍﾙﾌﾟ(&H)", none, "ヘルプを表示します"),
        command("khelp", "ﾄﾋﾟｯｸの検索(&H)", QKeySequence(Qt::Key_F1), "ヘルプの目次を表示します"),
        command("Homepage1", "Korvathホームページ(&N)", none, "Korvathのホームページを開きます"),
        command("About1", "ﾊﾞｰｼﾞｮﾝ情報(&A)...", none, "バージョン情報を表示します"),
    };
}

} // namespace

const QList<TCommandText> &CommandTexts()
{
    static const QList<TCommandText> texts = buildTexts();
    return texts;
}

const TCommandText &CommandText(const char *name)
{
    for (const TCommandText &text : CommandTexts())
        if (text.Name == QLatin1String(name))
            return text;
    qFatal("The main window's command texts have no entry \"%s\"", name);
}
