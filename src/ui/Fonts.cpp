// SPDX-License-Identifier: MIT
#include "Fonts.h"

#include <QStringList>

namespace {
const QString kProportional = QStringLiteral("ＭＳ Ｐゴシック");
const QString kFixed = QStringLiteral("ＭＳ ゴシック");
}  // namespace

void InstallFontSubstitutes() {
    QFont::insertSubstitutions(kProportional,
                               {QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック"),
                                QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP")});
    QFont::insertSubstitutions(kFixed, {QStringLiteral("IPAGothic"), QStringLiteral("IPAゴシック"),
                                        QStringLiteral("Noto Sans Mono CJK JP")});
}

QFont ProportionalGothic(int pixelSize) {
    QFont font(kProportional);
    font.setPixelSize(pixelSize);
    return font;
}

QFont FixedGothic(int pixelSize) {
    QFont font(kFixed);
    font.setPixelSize(pixelSize);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}
