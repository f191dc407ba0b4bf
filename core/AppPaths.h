#pragma once

#include <QString>
#include <QStringList>

// Where the program keeps its files. An installed program (bin/quorin beside share/quorin)
// follows the XDG base folders; one run from its build folder keeps everything in its home.
namespace AppPaths {

// share/quorin beside the executable's bin/ folder when the program is installed, else empty.
QString sharedFolder(const QString &executableDir);

// The home when neither --home nor QUORIN_HOME names one: $XDG_DATA_HOME/quorin when
// installed, else the executable's folder.
QString defaultHome(const QString &executableDir);

// Where quorin.log goes: $XDG_STATE_HOME/quorin when installed, else the home.
QString logFolder(const QString &executableDir, const QString &home);

// The workstation's cache: $XDG_CACHE_HOME/quorin when installed, else cache/ in the home.
QString cacheFolder(const QString &executableDir, const QString &home);

// quorin/config.ini in each folder of $XDG_CONFIG_DIRS (default /etc/xdg) that holds one,
// the most important first.
QStringList systemConfigFiles();

} // namespace AppPaths
