// A notification-area icon with tooltip, balloon and popup menu. Mouse
// notifications carry the desktop's message numbers: 514 for the left button
// released, 517 for the right one.
#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

class QMenu;
class QSystemTrayIcon;
class QWidget;

class TrayIcon : public QObject {
    Q_OBJECT
public:
    static constexpr int kLeftButtonUp = 514;
    static constexpr int kRightButtonUp = 517;

    enum class BalloonIcon { None = 0, Information = 1, Warning = 2, Error = 3 };
    struct Balloon {
        QString title;
        QString text;
        BalloonIcon icon = BalloonIcon::None;
        int milliseconds = 0;
    };

    explicit TrayIcon(QObject *parent = nullptr);
    ~TrayIcon() override;

    void create(const QString &tooltip, const QIcon &icon);
    void remove();
    bool isCreated() const { return created_; }

    void setTooltip(const QString &tooltip);
    QString tooltip() const { return tooltip_; }
    void setIcon(const QIcon &icon);

    void showBalloon(const Balloon &balloon);
    // The last balloon shown, for whoever needs to know what the user saw.
    const Balloon &lastBalloon() const { return lastBalloon_; }

    // Brings the window to the front, then pops the menu up at the cursor.
    void popupMenu(QWidget *window, QMenu *menu);

signals:
    void mouseMessage(int message);

private:
    QSystemTrayIcon *icon_ = nullptr;
    bool created_ = false;
    QString tooltip_;
    Balloon lastBalloon_;
};
