#include "FocusStyle.h"

#include <QPainter>
#include <QStyleOption>

FocusStyle::FocusStyle(const QString& baseStyle) : QProxyStyle(baseStyle) {}

void FocusStyle::drawControl(ControlElement element, const QStyleOption* option,
                             QPainter* painter, const QWidget* widget) const {
    QProxyStyle::drawControl(element, option, painter, widget);
    if (element != CE_PushButton || !(option->state & State_HasFocus) ||
        !(option->state & State_Enabled)) {
        return;
    }
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    QPen pen(option->palette.color(QPalette::Active, QPalette::Highlight));
    pen.setWidth(2);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    // Inside the bevel, so that it shows whatever the button's own border looks like.
    painter->drawRect(QRectF(option->rect).adjusted(3, 3, -3, -3));
    painter->restore();
}
