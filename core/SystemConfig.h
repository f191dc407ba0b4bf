#pragma once

#include <QString>
#include <QStringList>

// The administrator's defaults for every user of a machine: section [config] of
// quorin/config.ini in the XDG configuration folders (/etc/xdg). A user's own config.ini
// overrides them key by key. The file is readable by everyone, so it never yields a password.
namespace SystemConfig {

// Reads the defaults from `files`, the most important first; none (a program run from its
// build folder) means no defaults.
void setFiles(const QStringList &files);
QStringList files();

// The value of `key` in the first file that holds it, else a null string. A server address
// comes without its password, which is logged as ignored.
QString value(const QString &key);

} // namespace SystemConfig
