#include "platform/file_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

namespace FileDialogs {

namespace {

Answerer &answerer()
{
    static Answerer a;
    return a;
}

DialogResult resultFor(QString path, const Settings &settings)
{
    DialogResult result;
    if (path.isEmpty())
        return result;
    if (!settings.defaultExtension.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += "." + settings.defaultExtension;
    const QFileInfo info(path);
    result.count = 1;
    result.cancelled = false;
    result.names = {info.fileName()};
    result.folder = info.absolutePath() + "/";
    result.fullPath = info.absoluteFilePath();
    return result;
}

QString runDialog(QWidget *owner, bool centreOverOwner, const Settings &settings, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(owner, settings.title, settings.initialFolder,
                       settings.filterDescription.isEmpty() ? QString() : settings.filterDescription);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.adjustSize();
    const QRect around = centreOverOwner && owner ? owner->frameGeometry()
                                                  : QGuiApplication::primaryScreen()->availableGeometry();
    dialog.move(around.center() - dialog.rect().center());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

DialogResult show(QWidget *owner, bool centreOverOwner, const Settings &settings, QFileDialog::AcceptMode mode)
{
    const QString path = answerer() ? answerer()(settings) : runDialog(owner, centreOverOwner, settings, mode);
    return resultFor(path, mode == QFileDialog::AcceptSave ? settings : Settings{});
}

} // namespace

void setAnswerer(Answerer a)
{
    answerer() = std::move(a);
}

DialogResult ShowSave(QWidget *owner, bool centreOverOwner, const Settings &settings)
{
    return show(owner, centreOverOwner, settings, QFileDialog::AcceptSave);
}

DialogResult ShowOpen(QWidget *owner, bool centreOverOwner, const Settings &settings)
{
    return show(owner, centreOverOwner, settings, QFileDialog::AcceptOpen);
}

} // namespace FileDialogs
