#include "shell/settings_store.h"


#include <QDir>
#include <QHash>
#include <QSettings>
#include <QStandardPaths>

#include <sys/stat.h>

#include <mutex>

namespace {

// What identifies one version of a settings file. The store writes through a
// temporary file and a rename, so every write gives a new inode.
struct FileStamp {
    bool exists = false;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};

    bool operator==(const FileStamp &o) const
    {
        return exists == o.exists && inode == o.inode && size == o.size && modified.tv_sec == o.modified.tv_sec
               && modified.tv_nsec == o.modified.tv_nsec;
    }
};

FileStamp stampOf(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {true, st.st_ino, st.st_size, st.st_mtim};
}

// Re-parsing the file for every read would cost more than the capture loop
// can spend per request; the parsed values are kept while the file's stamp
// stays the same.
struct CachedFile {
    FileStamp stamp;
    bool loaded = false;
    QHash<QString, QString> values; // "section/key" -> text
};

std::mutex cacheMutex;
QHash<QString, CachedFile> cache;

QString configHome()
{
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    return xdg.isEmpty() ? QDir::homePath() + "/.config" : xdg;
}

QString groupKey(const QString &section, const QString &key)
{
    return section + QLatin1Char('\x1f') + key;
}

} // namespace

QString settingsFilePath(const QString &application)
{
    return configHome() + "/vexlund/" + application + ".ini";
}

SettingsSnapshot::SettingsSnapshot(const QString &application)
{
    const QString path = settingsFilePath(application);
    const FileStamp stamp = stampOf(path);
    std::lock_guard lock(cacheMutex);
    CachedFile &file = cache[path];
    if (!file.loaded || !(file.stamp == stamp)) {
        file.values.clear();
        file.stamp = stamp;
        file.loaded = true;
        if (stamp.exists) {
            QSettings ini(path, QSettings::IniFormat);
            for (const QString &group : ini.childGroups()) {
                ini.beginGroup(group);
                for (const QString &k : ini.childKeys())
                    file.values.insert(groupKey(group, k), ini.value(k).toString());
                ini.endGroup();
            }
        }
    }
    values_ = file.values; // implicitly shared: no copy of the data
}

QString SettingsSnapshot::value(const QString &section, const QString &key, const QString &defaultText) const
{
    return values_.value(groupKey(section, key), defaultText);
}

QString ReadSetting(const QString &application, const QString &section, const QString &key,
                    const QString &defaultText)
{
    return SettingsSnapshot(application).value(section, key, defaultText);
}

void WriteSetting(const QString &application, const QString &section, const QString &key, const QString &text)
{
    const QString path = settingsFilePath(application);
    QDir().mkpath(QFileInfo(path).absolutePath());
    {
        QSettings ini(path, QSettings::IniFormat);
        ini.beginGroup(section);
        ini.setValue(key, text);
        ini.endGroup();
        ini.sync();
    }
    std::lock_guard lock(cacheMutex);
    cache.remove(path);
}

QString BooleanText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

bool SettingBoolean(const QString &text, bool fallback)
{
    const QString t = text.trimmed();
    if (t.compare("True", Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare("False", Qt::CaseInsensitive) == 0)
        return false;
    return fallback;
}
