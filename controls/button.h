// The push button every window uses: a caption, an enabled state, click and
// mouse-release notifications, drawn flat by the program itself.
#pragma once

#include <QPushButton>

class Button : public QPushButton {
    Q_OBJECT
public:
    explicit Button(const QString &caption, QWidget *parent = nullptr);

signals:
    void mouseReleased(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};
