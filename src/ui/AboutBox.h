// SPDX-License-Identifier: MIT
// The About box: the program's name, version and licence.
#pragma once

class QWidget;

// Shows the About box over `parent` without waiting for it to close; one box at a time.
void ShowAboutBox(QWidget* parent);
