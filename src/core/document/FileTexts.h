// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The messages of opening, saving, previewing and splitting files, in the words
// the user sees.
// The name of a document never saved is kUntitledName of editor/DocumentTitle.h.
namespace quelvo {

inline constexpr const char kSaveDialogTitle[] = "データ保存";
inline constexpr const char kFormatQuestion[] =
    "ファイル形式が違います。\nそのまま読み込みは可能ですが、データの一部読み込めない可能性が有ります。\n"
    "読み込み開始は「はい(Y)」";
inline constexpr const char kFileNotFoundBefore[] = "呼出データ\n";      // + path
inline constexpr const char kFileNotFoundAfter[] = "が見つかりません。";  // after the path
inline constexpr const char kSaveChangesQuestion[] = " への変更を保存しますか？";  // after the name
inline constexpr const char kSaveChangesCaption[] = "編集";
// A file that cannot be read or written: the path, this text, then the system's reason.
inline constexpr const char kCannotWrite[] = " に書き込めません。\n";
inline constexpr const char kCannotRead[] = " を読み込めません。\n";

inline constexpr const char kPreviewCheckBox[] = "内容をﾌﾟﾚﾋﾞｭｰする。";
inline constexpr const char kPreviewWrongType[] = "ファイルのプレビューが出来ません。\n(ファイルタイプが違います。)";
inline constexpr const char kPreviewNotPossible[] = "ﾌﾟﾚﾋﾞｭｰ不可";

inline constexpr const char kForbiddenExtensionChar[] = "この文字は拡張子に使えません。\n/:,;?<>|";
inline constexpr const char kForbiddenExtensionCaption[] = "確認";

inline constexpr const char kSplitSaveCaption[] = "分割保存";
inline constexpr const char kSelectiveSendCaption[] = "選択送信";
inline constexpr const char kSplitListNote[] = "ﾁｪｯｸを外すとﾌｧｲﾙ作成されません。";
inline constexpr const char kSplitFolderPrompt[] = "現ﾃﾞｨﾚｸﾄﾘ ";  // + folder
inline constexpr const char kNothingToSplit[] =
    "分割保存するデータが見つかりません。\n選択して分割保存するか中止してください。";
inline constexpr const char kNothingToSend[] = "送信データが見つかりません。\n選択して送信するか中止してください。";

}  // namespace quelvo
