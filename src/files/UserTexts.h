// The texts the user reads about files, shared by the editor and the command line so that
// both say the same thing in the same words.
#pragma once

#include <string_view>

namespace morvat::texts {

inline constexpr std::string_view kErrorCaption = "Error";
inline constexpr std::string_view kCannotOpen = "ファイルが開けません";
inline constexpr std::string_view kReadFailed = "読み込みに失敗しました";
inline constexpr std::string_view kReadFailedCaption = "I'm sorry.";
inline constexpr std::string_view kOverwriteQuestion = " を上書きしますか?";  // after the name
inline constexpr std::string_view kOverwriteCaption = "上書き確認";
inline constexpr std::string_view kSettingsNotSaved = "設定を保存できませんでした";
inline constexpr std::string_view kSettingsNotRead = "設定ファイルを読み込めませんでした";
// The detail under kSettingsNotRead: the file is kept and used no further in this run.
inline constexpr std::string_view kSettingsLeftAlone =
    "このファイルは変更しません。フォルダは今回だけホームフォルダから始まります。";

// Why a settings file was not written or read, in the box's detail text. The reasons of
// a failed save are SaveFailureReason's (files/SaveFile.h).
inline constexpr std::string_view kReasonLineBreak =
    "改行を含むフォルダ名は設定ファイルに書けません";
inline constexpr std::string_view kReasonTooLarge = "16 MiB を超える設定ファイルです";

}  // namespace morvat::texts
