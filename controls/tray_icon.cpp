#include "controls/tray_icon.h"

#include <QCursor>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>

TrayIcon::TrayIcon(QObject *parent) : QObject(parent), icon_(new QSystemTrayIcon(this))
{
    connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            emit mouseMessage(kLeftButtonUp);
        else if (reason == QSystemTrayIcon::Context)
            emit mouseMessage(kRightButtonUp);
    });
}

TrayIcon::~TrayIcon()
{
    remove();
}

void TrayIcon::create(const QString &tooltip, const QIcon &icon)
{
    setTooltip(tooltip);
    icon_->setIcon(icon);
    icon_->show();
    created_ = true;
}

void TrayIcon::remove()
{
    icon_->hide();
    created_ = false;
}

void TrayIcon::setTooltip(const QString &tooltip)
{
    tooltip_ = tooltip;
    icon_->setToolTip(tooltip);
}

void TrayIcon::setIcon(const QIcon &icon)
{
    icon_->setIcon(icon);
}

void TrayIcon::showBalloon(const Balloon &balloon)
{
    lastBalloon_ = balloon;
    const auto kind = balloon.icon == BalloonIcon::Information ? QSystemTrayIcon::Information
                      : balloon.icon == BalloonIcon::Warning   ? QSystemTrayIcon::Warning
                      : balloon.icon == BalloonIcon::Error     ? QSystemTrayIcon::Critical
                                                               : QSystemTrayIcon::NoIcon;
    icon_->showMessage(balloon.title, balloon.text, kind, balloon.milliseconds);
}

void TrayIcon::popupMenu(QWidget *window, QMenu *menu)
{
    if (window) {
        window->raise();
        window->activateWindow();
    }
    menu->popup(QCursor::pos());
}
