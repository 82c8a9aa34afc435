// The application's style with a keyboard focus that can be seen at a glance: a focused
// push button gets a frame in the highlight colour inside its edge, where the underlying
// style draws only a faint line. Users who work by keyboard (Tab, Space, Return) must see
// which button they are about to press.
#pragma once

#include <QProxyStyle>

class FocusStyle : public QProxyStyle {
    Q_OBJECT
public:
    // Wraps the style of that name (the application's default when empty).
    explicit FocusStyle(const QString& baseStyle = QString());

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
};
