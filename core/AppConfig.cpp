#include "core/AppConfig.h"

namespace {
const QString kSection = QStringLiteral("config");
}

AppConfig::AppConfig(const QString &iniPath) : m_settings(iniPath, QSettings::IniFormat) {}

QString AppConfig::read(const QString &key) const
{
    m_settings.sync();
    return m_settings.value(kSection + u'/' + key).toString();
}

void AppConfig::write(const QString &key, const QVariant &value)
{
    m_settings.setValue(kSection + u'/' + key, value);
    m_settings.sync();
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

QString AppConfig::curOperName() const
{
    return read(QStringLiteral("CurOperName"));
}

void AppConfig::setCurOperName(const QString &name)
{
    write(QStringLiteral("CurOperName"), name);
}
