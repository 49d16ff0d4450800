#include "controls/button.h"

#include <QMouseEvent>
#include <QPainter>

Button::Button(const QString &caption, QWidget *parent) : QPushButton(caption, parent)
{
    setCursor(Qt::PointingHandCursor);
}

void Button::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette &pal = palette();
    QColor face = isDown() ? pal.color(QPalette::Mid) : underMouse() ? pal.color(QPalette::Light) : pal.color(QPalette::Button);
    if (!isEnabled())
        face = pal.color(QPalette::Disabled, QPalette::Button);
    p.setPen(pal.color(hasFocus() ? QPalette::Highlight : QPalette::Dark));
    p.setBrush(face);
    p.drawRoundedRect(rect().adjusted(0, 0, -1, -1), 3, 3);
    p.setPen(pal.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    p.drawText(rect(), Qt::AlignCenter, text());
}

void Button::mouseReleaseEvent(QMouseEvent *event)
{
    QPushButton::mouseReleaseEvent(event);
    emit mouseReleased(event->button());
}
