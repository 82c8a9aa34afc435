// SPDX-License-Identifier: MIT
#include "Icons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include "Fonts.h"
#include "model/EffectCatalogue.h"

namespace {

// One colour per palette page, so that a row's icon tells its family at a glance.
constexpr std::array<QRgb, 8> kTabColours{
    0xffc0392b,  // 生命力
    0xffd35400,  // 肉体
    0xff138d75,  // 技能
    0xff8e44ad,  // 精神
    0xff2566b0,  // 魔法
    0xff1e8449,  // 能力
    0xff4d5656,  // 消滅
    0xff9a7d0a,  // カード
};

enum class Mark { None, Cure, Ban, Change };

struct Picture {
    const char* glyph;  // one character that names the effect
    Mark mark;
};

// Index = effect kind; 0 is unused here (the remove icon is drawn apart).
const std::array<Picture, 32> kPictures{{
    {"", Mark::None},     {"癒", Mark::None},   {"傷", Mark::None},   {"吸", Mark::None},
    {"痺", Mark::None},   {"痺", Mark::Cure},   {"毒", Mark::None},   {"毒", Mark::Cure},
    {"技", Mark::Cure},   {"技", Mark::Ban},    {"眠", Mark::None},   {"混", Mark::None},
    {"怒", Mark::None},   {"勇", Mark::None},   {"恐", Mark::None},   {"正", Mark::None},
    {"縛", Mark::None},   {"縛", Mark::Cure},   {"黙", Mark::None},   {"黙", Mark::Cure},
    {"露", Mark::None},   {"露", Mark::Cure},   {"無", Mark::None},   {"無", Mark::Cure},
    {"行", Mark::Change}, {"避", Mark::Change}, {"抗", Mark::Change}, {"防", Mark::Change},
    {"消", Mark::None},   {"召", Mark::None},   {"混", Mark::None},   {"技", Mark::None},
}};

// Everything is drawn on a 16 by 16 grid and scaled to `size`.
QPixmap Canvas(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void Tile(QPainter& p, QColor colour) {
    p.setPen(QPen(colour.darker(140), 1));
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
}

void Glyph(QPainter& p, const QString& text, const QRectF& box, int pixelSize, QColor colour) {
    QFont font = FixedGothic(pixelSize);
    font.setBold(true);
    font.setStyleStrategy(QFont::PreferAntialias);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(box, Qt::AlignCenter, text);
}

void DrawMark(QPainter& p, Mark mark) {
    switch (mark) {
        case Mark::None:
            return;
        case Mark::Cure: {  // a green check in the lower right corner: the state is lifted
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0xff, 0xff, 0xff));
            p.drawEllipse(QRectF(9, 9, 7, 7));
            p.setPen(QPen(QColor(0x1e, 0x84, 0x49), 1.6, Qt::SolidLine, Qt::RoundCap));
            p.drawPolyline(
                QPolygonF({QPointF(10.6, 12.6), QPointF(12.2, 14.2), QPointF(14.6, 10.6)}));
            return;
        }
        case Mark::Ban: {  // a red slash: the thing is taken away
            p.setPen(QPen(QColor(0xff, 0xff, 0xff), 3.2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(3, 13), QPointF(13, 3));
            p.setPen(QPen(QColor(0xe7, 0x1d, 0x1d), 1.6, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(3, 13), QPointF(13, 3));
            return;
        }
        case Mark::Change: {  // small up and down arrows: the ability rises or falls
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0xff, 0xff, 0xff));
            p.drawPolygon(QPolygonF({QPointF(12, 1), QPointF(15, 5), QPointF(9, 5)}));
            p.drawPolygon(QPolygonF({QPointF(12, 15), QPointF(15, 11), QPointF(9, 11)}));
            return;
        }
    }
}

QPixmap PaintEffect(int kind, int size) {
    QPixmap pixmap = Canvas(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / 16.0, size / 16.0);
    const morvat::EffectKindInfo* info = morvat::FindEffectKind(kind);
    Tile(p, QColor::fromRgba(kTabColours[static_cast<std::size_t>(info->tab)]));
    const Picture& picture = kPictures[static_cast<std::size_t>(kind)];
    const QRectF box = picture.mark == Mark::Change ? QRectF(-1, 0, 13, 16)
                       : picture.mark == Mark::Cure ? QRectF(0, -1, 15, 15)
                                                    : QRectF(0, 0, 16, 16);
    Glyph(p, QString::fromUtf8(picture.glyph), box, 12, Qt::white);
    DrawMark(p, picture.mark);
    return pixmap;
}

QPixmap PaintRemove(int size) {
    QPixmap pixmap = Canvas(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    p.setPen(QPen(QColor(0x7b, 0x7d, 0x7d), 1));
    p.setBrush(QColor(0xfd, 0xfe, 0xfe));
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    p.setPen(QPen(QColor(0xcb, 0x19, 0x19), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4.5, 4.5), QPointF(11.5, 11.5));
    p.drawLine(QPointF(11.5, 4.5), QPointF(4.5, 11.5));
    return pixmap;
}

QIcon Sizes(QPixmap (*paint)(int)) {
    QIcon icon;
    for (int size : {16, 32, 48}) icon.addPixmap(paint(size));
    return icon;
}

// A card with a coloured band and a character on it.
QPixmap PaintCard(int size, QColor band, const QString& glyph) {
    QPixmap pixmap = Canvas(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / 16.0, size / 16.0);
    p.setPen(QPen(QColor(0x42, 0x49, 0x49), 0.8));
    p.setBrush(QColor(0xfb, 0xf8, 0xef));
    p.drawRoundedRect(QRectF(2.5, 0.5, 11, 15), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(band);
    p.drawRect(QRectF(3.5, 1.5, 9, 4));
    Glyph(p, glyph, QRectF(2.5, 5, 11, 10), 9, band.darker(130));
    return pixmap;
}

}  // namespace

EffectIcons::EffectIcons() {
    for (int size : {16, 32}) icons_[0].addPixmap(PaintRemove(size));
    for (int kind = 1; kind < kCount; ++kind) {
        for (int size : {16, 32})
            icons_[static_cast<std::size_t>(kind)].addPixmap(PaintEffect(kind, size));
    }
}

QIcon EffectIcons::icon(int index) const {
    if (index < 0 || index >= kCount) return {};
    return icons_[static_cast<std::size_t>(index)];
}

QPixmap EffectIcons::pixmap(int index) const {
    return icon(index).pixmap(kSize, kSize);
}

// The resources live in a static library: nothing would pull them into the program
// unless they are asked for by name.
static void LoadWindowIconResources() {
    Q_INIT_RESOURCE(WindowIcons);
}

QIcon EditorWindowIcon() {
    LoadWindowIconResources();
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addFile(QStringLiteral(":/icons/morvat-ex-%1.png").arg(size));
    return icon;
}

QIcon ResultWindowIcon() {
    return Sizes(
        [](int size) { return PaintCard(size, QColor(0x1e, 0x84, 0x49), QStringLiteral("計")); });
}
