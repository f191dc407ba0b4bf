#include "core/Session.h"

void Session::logIn(const QString &typedName, const QSet<QString> &rights)
{
    m_typedName = typedName;
    m_name = typedName.trimmed();
    m_rights = rights;
    emit changed();
}

bool Session::isAdminName(const QString &name)
{
    return name.trimmed().compare(u"admin", Qt::CaseInsensitive) == 0;
}
