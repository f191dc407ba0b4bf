#include "core/SystemConfig.h"

#include "core/DataSource.h"

#include <QSettings>

namespace {
QStringList g_files;
}

namespace SystemConfig {

void setFiles(const QStringList &files)
{
    g_files = files;
}

QStringList files()
{
    return g_files;
}

QString value(const QString &key)
{
    for (const QString &file : std::as_const(g_files)) {
        const QSettings settings(file, QSettings::IniFormat);
        const QString name = QStringLiteral("config/") + key;
        if (!settings.contains(name))
            continue;
        // An unquoted value with commas, such as a hash's parameters, reads as a list.
        const QVariant read = settings.value(name);
        const QString text = read.typeId() == QMetaType::QStringList
                                 ? read.toStringList().join(u',')
                                 : read.toString();
        if (!DataSource::isServerUrl(text))
            return text;
        const DataSource server = DataSource::fromDs(text, {});
        if (server.password.isEmpty())
            return text;
        qWarning("%s: the password in %s is ignored (every user can read this file); each user "
                 "keeps it in ~/.pgpass",
                 qPrintable(file), qPrintable(key));
        return DataSource::serverUrl(server.host, server.port, server.database, server.user, {});
    }
    return {};
}

} // namespace SystemConfig
