#include "core/AppConfig.h"

#include "core/OwnerOnly.h"
#include "core/SystemConfig.h"

#include <QFileInfo>

namespace {
const QString kSection = QStringLiteral("config");
}

AppConfig::AppConfig(const QString &iniPath) : m_settings(iniPath, QSettings::IniFormat)
{
    // A file written by an older version may be readable by everyone.
    if (QFileInfo::exists(iniPath))
        OwnerOnly::restrict(iniPath);
}

QString AppConfig::read(const QString &key) const
{
    m_settings.sync();
    const QString name = kSection + u'/' + key;
    // A key the user's file names, even empty, is his choice over the administrator's.
    if (m_settings.contains(name))
        return m_settings.value(name).toString();
    return SystemConfig::value(key);
}

void AppConfig::write(const QString &key, const QVariant &value)
{
    // The file is the owner's before anything is written into it: the writer keeps its mode.
    OwnerOnly::prepare(m_settings.fileName());
    m_settings.setValue(kSection + u'/' + key, value);
    m_settings.sync();
    OwnerOnly::restrict(m_settings.fileName());
}

QString AppConfig::ds() const
{
    return read(QStringLiteral("ds"));
}

void AppConfig::setDs(const QString &value)
{
    write(QStringLiteral("ds"), value);
}

int AppConfig::ibak() const
{
    return read(QStringLiteral("ibak")).toInt();
}

void AppConfig::setIbak(int mode)
{
    write(QStringLiteral("ibak"), mode);
}

int AppConfig::backupKeepDays() const
{
    bool ok = false;
    const int days = read(QStringLiteral("bakdays")).toInt(&ok);
    return ok && days >= 0 ? days : kDefaultBackupKeepDays;
}

void AppConfig::setBackupKeepDays(int days)
{
    write(QStringLiteral("bakdays"), days);
}

bool AppConfig::pinyinSearch() const
{
    return read(QStringLiteral("pinyin")) != u"0";
}

void AppConfig::setPinyinSearch(bool on)
{
    write(QStringLiteral("pinyin"), on ? 1 : 0);
}

QString AppConfig::curOperName() const
{
    return read(QStringLiteral("CurOperName"));
}

void AppConfig::setCurOperName(const QString &name)
{
    write(QStringLiteral("CurOperName"), name);
}
