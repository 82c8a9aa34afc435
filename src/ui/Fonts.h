// SPDX-License-Identifier: MIT
// The editor's fonts. The windows ask for the Windows Japanese fonts the tool was drawn
// for; where those are missing, the IPA fonts stand in with the same metrics class
// (proportional for "ＭＳ Ｐゴシック", fixed pitch for "ＭＳ ゴシック").
#pragma once

#include <QFont>

// Registers the stand-ins; call once after the application object exists.
void InstallFontSubstitutes();

QFont ProportionalGothic(int pixelSize);  // "ＭＳ Ｐゴシック"
QFont FixedGothic(int pixelSize);         // "ＭＳ ゴシック"
