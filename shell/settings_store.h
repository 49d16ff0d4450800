// The per-user settings store: one INI file per application under
// $XDG_CONFIG_HOME/vexlund/, section = INI group, key = INI key. Every read
// sees what any process wrote last.
#pragma once

#include <QHash>
#include <QString>

// One look at an application's settings file, for reading several values
// that must come from the same moment at the cost of one.
class SettingsSnapshot {
public:
    explicit SettingsSnapshot(const QString &application);
    QString value(const QString &section, const QString &key, const QString &defaultText) const;

private:
    QHash<QString, QString> values_;
};

QString ReadSetting(const QString &application, const QString &section, const QString &key,
                    const QString &defaultText);
void WriteSetting(const QString &application, const QString &section, const QString &key, const QString &text);

// The text form of Booleans in the store, and its reading.
QString BooleanText(bool value);
bool SettingBoolean(const QString &text, bool fallback);

// The file that holds an application's settings.
QString settingsFilePath(const QString &application);
