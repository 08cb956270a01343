// SPDX-License-Identifier: GPL-3.0-or-later
// The command table and the program's entry: the command word picks a row,
// --help and --version are answered here.
#include <ostream>

#include "cli/CliCommand.h"
#include "cli/CliExit.h"
#include "cli/CliSession.h"
#include "cli/CliUsage.h"
#include "core/document/DocumentTitle.h"

namespace quelvo::cli {
namespace {

void PrintProgramHelp(std::ostream& out) {
  out << "使い方: quelvo-cli コマンド [引数...]\n\n"
         "Quelvo の通信設定とログを使って、端末から NC プログラムを送受信します。\n\n"
         "コマンド:\n";
  for (const CliCommand& command : CliCommands()) {
    std::string synopsis = command.synopsis;
    out << "  " << synopsis << "\n      " << command.summary << '\n';
  }
  out << "\n終了ステータス: 0 完了, 1 中止・拒否, 2 使い方の誤り, 3 ポートが開けない, 4 ファイルの読み書き不可\n"
         "各コマンドの説明: quelvo-cli コマンド --help\n";
}

}  // namespace

const std::vector<CliCommand>& CliCommands() {
  static const std::vector<CliCommand> commands{
      {"send", "send FILE [--setting N] [--port PORT] [--timeout SECONDS] [--yes] [--quiet] [--json] [--from N [--clearance Z] [--lathe]]",
       "FILE を通信設定 N の送信設定で NC 機へ送信します",
       "  --setting N   通信設定 (1〜12、メニューの並び順。省略時は現在の設定)\n"
       "  --port PORT   この送信だけポートを変えます (COM1、/dev/ttyUSB0 など)\n"
       "  --timeout SECONDS  NC 機がこの秒数のうちに送信を始めないとき中止します\n"
       "                (終了ステータス 1。省略時は中止するまで待ちます)\n"
       "  --yes         NC 機の準備の確認に「はい」と答えます\n"
       "  --quiet       進行状況と結果を表示しません\n"
       "  --json        結果を JSON で標準出力に書きます\n"
       "  --from N      N 行目 (L4800) またはシーケンス番号 N4800 のブロックから送信します。\n"
       "                モーダルを戻す前置きと安全なアプローチを付けます (restart-plan で確認できます)\n"
       "  --clearance Z アプローチの安全高さ (旋盤では逃げる X 直径)。省略時はそれまでの最高の Z\n"
       "  --lathe       旋盤として読みます (X は直径、U W は増分)\n",
       &RunSend},
      {"receive", "receive OUT [--setting N] [--port PORT] [--timeout SECONDS] [--yes] [--quiet] [--json]",
       "NC 機から受信して OUT に保存します (OSP の設定では OUT はフォルダ)",
       "  --setting N   通信設定 (1〜12、メニューの並び順。省略時は現在の設定)\n"
       "  --port PORT   この受信だけポートを変えます\n"
       "  --timeout SECONDS  NC 機がこの秒数のうちに送り始めないとき中止します\n"
       "                (終了ステータス 1。省略時は中止するまで待ちます)\n"
       "  --yes         OUT が既にあるとき上書きします\n"
       "  --quiet       進行状況と結果を表示しません\n"
       "  --json        結果を JSON で標準出力に書きます\n",
       &RunReceive},
      {"check", "check FILE [--setting N]",
       "送信前の検査: 送れない文字、送信時に変わる文字、NC 機が受け付けにくい行、プログラム番号、送信時間",
       "  --setting N   通信設定 (1〜12、メニューの並び順。省略時は現在の設定)\n"
       "  出力は FILE:行:桁: 内容 の形式です。送信で文字が落ちる・変わるとき終了ステータス 1。\n",
       &RunCheck},
      {"ports", "ports", "この PC のシリアルポートの一覧",
       "  デバイス、/dev/serial/by-id の名前、ドライバ、開けるかどうか、使用中かどうかを表示します。\n",
       &RunPorts},
      {"settings", "settings [N] [--presets]", "12 の通信設定の一覧、または設定 N の全項目",
       "  N は 1〜12 (メニューの並び順)。\n"
       "  --presets   よくある NC 機の設定例 (プリセット) の一覧。N を付けるとそのプリセットの全項目\n",
       &RunSettings},
      {"detect", "detect [--port PORT] [--setting N] [--save N [--yes]] [--wait SECS]",
       "NC 機がパンチするテープから通信速度とコードを調べ、設定を提案します",
       "  NC 機から何かプログラムをパンチ (出力) すると、受信したバイトから通信速度、コード\n"
       "  (ISO / EIA / ASCII)、データ長とパリティを判別します。1 回のパンチは 1 つの速度で聞くため、\n"
       "  判別できるまで「もう一度パンチしてください」と求めます (通常 1〜2 回)。\n"
       "  ストップビットは受信したバイトに現れないため判別できません (2 を提案します)。\n"
       "  tcp:// のポートでは速度はデバイスサーバーの設定で決まるため、コードだけを調べます。\n"
       "  --port PORT   聞くポート (省略時は通信設定の受信ポート)\n"
       "  --setting N   ポートを取る通信設定 (1〜12)\n"
       "  --save N      結果を通信設定 N に保存します (確認に「はい」と答えたときだけ)\n"
       "  --yes         保存の確認に「はい」と答えます\n"
       "  --wait SECS   1 回のパンチを待つ秒数 (既定 120)\n"
       "  終了ステータス: 0 判別した, 1 判別できない・中止・保存しなかった, 2 使い方の誤り, 3 ポートが開けない\n",
       &RunDetect},
      {"monitor", "monitor [--port PORT] [--setting N] [--save FILE] [--seconds N]",
       "通信モニタ: ポートを開いて、NC 機との間を流れる文字を時刻付きで表示します",
       "  通信設定の受信側の速度・データ長・ストップビット・コードでポートを開き、NC 機から届く文字を\n"
       "  そのコードで表示します。制御文字は <DC1> <DC3> <DC4> <NUL> <CR> <LF> のように名前で、\n"
       "  コードに無いバイトは <XX> (16 進)、パリティ誤りは <PE XX> と表示します。\n"
       "  モデム信号線 (CTS DSR DCD RI) は変わるたびに表示します (読めないポートではそう表示します)。\n"
       "  標準入力に打った行は NC 機へ送ります (DC1 DC2 DC3 DC4 だけの行はその制御文字)。\n"
       "  --port PORT    開くポート (省略時は通信設定の受信ポート。tcp:// rfc2217:// も可)\n"
       "  --setting N    通信設定 (1〜12、メニューの並び順。省略時は現在の設定)\n"
       "  --save FILE    表示した内容を FILE (テキスト) にも書きます\n"
       "  --seconds N    N 秒で終わります (省略時は Ctrl+C まで)\n",
       &RunMonitor},
      {"test-line", "test-line [--port PORT] [--setting N] [--xoff-limit N]",
       "折り返しプラグでポートを調べます: 折り返し、XOFF で止まるか、モデム信号線",
       "  ポートに折り返しプラグ (送信データ↔受信データ、RTS↔CTS、DTR↔DSR・DCD) を付けて実行します。\n"
       "  書いた文字が戻るか、戻ってきた DC3 (XOFF) で送信が N 文字以内に止まるか (止まらない\n"
       "  アダプタは名前を示します)、RTS・DTR を切り替えると CTS・DSR・DCD が従うかを表示します。\n"
       "  --port PORT       調べるポート (省略時は通信設定の送信ポート)\n"
       "  --setting N       速度を取る通信設定 (1〜12)\n"
       "  --xoff-limit N    DC3 の後に許す文字数 (既定 32)\n"
       "  終了ステータス: 0 問題なし, 1 問題あり・中止, 2 使い方の誤り, 3 ポートが開けない\n",
       &RunTestLine},
      {"toolpath", "toolpath FILE [--whole-units] [--lathe] [--skip-deleted] [--line N]",
       "FILE の工具経路を解釈して移動を1行ずつ表示します",
       "  --whole-units   小数点のない数値を mm / inch で読みます (既定は最小設定単位)\n"
       "  --lathe         旋盤として読みます (X は直径、U W は増分)\n"
       "  --skip-deleted  \"/\" で始まる行を飛ばします\n"
       "  --line N        N 行目を含むプログラムだけを表示します\n"
       "  出力: 行 種類 X Y Z [中心 X Y Z]、続いて problem 行 内容 / hint 行 内容。\n"
       "  終了ステータス: 0 すべて解釈, 1 解釈できない行あり, 2 引数またはファイルの誤り\n",
       &RunToolpath},
      {"restart-plan", "restart-plan FILE N [--clearance Z] [--lathe] [--whole-units] [--skip-deleted]",
       "FILE を N 行目 (L4800) またはシーケンス番号 N4800 から再開するときの前置きを表示します",
       "  前置き (モーダルの再設定と安全なアプローチ) を標準出力に、警告と再開できない理由を標準エラーに書きます。\n"
       "  --clearance Z   アプローチの安全高さ (旋盤では逃げる X 直径)。省略時はそれまでの最高の Z (最大の X)\n"
       "  --lathe         旋盤として読みます (X は直径、U W は増分)\n"
       "  --whole-units   小数点のない数値を mm / inch で読みます (既定は最小設定単位)\n"
       "  --skip-deleted  \"/\" で始まる行を飛ばします\n"
       "  終了ステータス: 0 再開できる, 1 再開できない, 2 引数の誤り, 4 ファイルが読めない\n",
       &RunRestartPlan},
      {"status", "status [--config FILE] [--json]", "DNC サービスの各機械の状態",
       "  --config FILE   サービスの設定ファイル (既定 /etc/quelvo/dnc.conf)\n"
       "  --json          JSON で表示します\n"
       "  終了ステータス: 0 表示した, 1 失敗, 2 使い方または設定の誤り\n",
       &RunStatus},
      {"queue", "queue [--config FILE] MACHINE FILE", "FILE を機械 MACHINE の送信待ちに入れます",
       "  --config FILE   サービスの設定ファイル (既定 /etc/quelvo/dnc.conf)\n"
       "  NC 機が次に受信を求めたときに送信されます。\n"
       "  終了ステータス: 0 入れた, 1 失敗 (機械が無い、FILE が読めない), 2 使い方または設定の誤り\n",
       &RunQueue},
      {"compare",
       "compare A B [--ignore-n] [--by-value] [--least-increment] [--ignore-comments] [--ignore-frame] "
       "[--keep-blanks] [--json] | compare --revision PROGRAM@MACHINE FILE [--config FILE] [...]",
       "NC プログラム A と B をブロックごとに比較します",
       "  --ignore-n         シーケンス番号 (N) を無視します\n"
       "  --by-value         数値を値で比べます (X10. = X10.0 = X10.000、X.5 = X0.5)\n"
       "  --least-increment  小数点のない数値を最小設定単位で読みます (X10 = X0.01、--by-value を含む)\n"
       "  --ignore-comments  コメント ( ) と ; 以降を無視します\n"
       "  --ignore-frame     先頭と末尾の % とテープフィードを無視します\n"
       "  --keep-blanks      空白と空行も比べます (既定は無視)\n"
       "  --json             結果を JSON で標準出力に書きます\n"
       "  --revision P@M     DNC サービスのライブラリで機械 M に最後に送信したプログラム P と FILE を比較します\n"
       "  --config FILE      サービスの設定ファイル (既定 /etc/quelvo/dnc.conf、--revision のとき)\n"
       "  出力: 違いのあるブロックを - (A) と + (B) で ファイル:行: 内容 の形式で、最後に要約行。\n"
       "  終了ステータス: 0 同じ, 1 違いあり, 2 使い方の誤りまたはファイルが読めない\n",
       &RunCompare},
      {"history", "history PROGRAM [--config FILE] [--json]", "DNC サービスのライブラリにあるプログラムの履歴",
       "  --config FILE   サービスの設定ファイル (既定 /etc/quelvo/dnc.conf)\n"
       "  --json          JSON で表示します\n"
       "  出力: 日時  機械  受信/送信  種類 (punch, request, queue)  バイト数  コミット、古い順。\n"
       "  終了ステータス: 0 表示した, 1 履歴が無い, 2 使い方、設定またはライブラリの誤り\n",
       &RunHistory},
  };
  return commands;
}

void PrintCommandHelp(const CliCommand& command, std::ostream& out) {
  out << "使い方: quelvo-cli " << command.synopsis << "\n\n" << command.summary << "\n\n" << command.help;
}

bool HandleHelpAndUsage(const ParsedArgs& args, const CliCommand& command, int positionals, CliIo& io,
                        int* status) {
  if (args.help) {
    PrintCommandHelp(command, io.out);
    *status = kCliDone;
    return true;
  }
  std::string error = args.error;
  if (error.empty() && positionals >= 0 && static_cast<int>(args.positional.size()) != positionals) {
    error = static_cast<int>(args.positional.size()) < positionals ? "引数が足りません" : "引数が多すぎます";
  }
  if (error.empty()) return false;
  io.err << "quelvo-cli " << command.name << ": " << error << "\n使い方: quelvo-cli " << command.synopsis
         << '\n';
  *status = kCliUsage;
  return true;
}

int RunCli(const std::vector<std::string>& args, CliIo io) {
  UseWindowProgramFiles();
  if (args.empty()) {
    PrintProgramHelp(io.err);
    return kCliUsage;
  }
  const std::string& word = args[0];
  if (word == "--help" || word == "-h" || word == "help") {
    PrintProgramHelp(io.out);
    return kCliDone;
  }
  if (word == "--version") {
    io.out << "quelvo-cli" << kVersionSuffix << '\n';
    return kCliDone;
  }
  for (const CliCommand& command : CliCommands()) {
    if (word == command.name) return command.run({args.begin() + 1, args.end()}, io);
  }
  io.err << "quelvo-cli: 不明なコマンド " << word << "\n";
  PrintProgramHelp(io.err);
  return kCliUsage;
}

}  // namespace quelvo::cli
