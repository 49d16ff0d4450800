// The programs' file dialogs, behind a seam tests can answer.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace FileDialogs {

struct Settings {
    QString title;
    QString filterDescription; // e.g. "FLV Files (*.flv)"
    QString filterPattern;     // e.g. "*.flv"
    QString defaultExtension;  // added to a name typed without one
    QString initialFolder;
};

struct DialogResult {
    int count = 0;         // 1, or 0 when cancelled
    QStringList names;     // name part of each chosen path
    QString folder;        // the path up to the name
    bool cancelled = true;
    QString fullPath;
};

// Centred over the owner when centreOverOwner, else on the screen. No
// overwrite prompt: the caller decides what to do with an existing file.
DialogResult ShowSave(QWidget *owner, bool centreOverOwner, const Settings &settings);
DialogResult ShowOpen(QWidget *owner, bool centreOverOwner, const Settings &settings);

// Tests answer with a path (empty: cancel); the default extension is still
// added as for a real dialog. An empty function restores real dialogs.
using Answerer = std::function<QString(const Settings &)>;
void setAnswerer(Answerer answerer);

} // namespace FileDialogs
