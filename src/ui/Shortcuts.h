// SPDX-License-Identifier: MIT
// The editor's keyboard: each shortcut clicks its button, so a key can never do anything
// the button would not (a disabled button stays shut to its key too). The same actions,
// and the About box, make up the window's context menu.
#pragma once

class TForm1;

// Ctrl+O "ロード", Ctrl+S "cwsセーブ", Ctrl+R "読み込み", F5 "計算開始", Ctrl+L "クリア",
// F1 the About box.
void InstallEditorShortcuts(TForm1& form);
