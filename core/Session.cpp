#include "core/Session.h"

void Session::logIn(const QString &typedName, const QSet<QString> &rights)
{
    m_typedName = typedName;
    m_name = typedName.trimmed();
    m_rights = rights;
    emit changed();
}
