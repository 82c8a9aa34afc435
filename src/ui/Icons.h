// SPDX-License-Identifier: MIT
// The editor's pictures, painted at start rather than shipped: the effect image list
// (`ImageList1`: image 0 the remove icon, image n the icon of effect kind n) and the
// windows' own icons.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <array>

class EffectIcons {
public:
    static constexpr int kCount = 32;  // the remove icon and the 31 effect kinds
    static constexpr int kSize = 16;

    EffectIcons();
    // The icon of image `index`; an empty icon for any other number.
    QIcon icon(int index) const;
    // The 16 by 16 picture of image `index`.
    QPixmap pixmap(int index) const;

private:
    std::array<QIcon, kCount> icons_;
};

// The application's icon, as the desktop shows it.
QIcon EditorWindowIcon();
QIcon ResultWindowIcon();
