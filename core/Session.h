#pragma once

#include <QObject>
#include <QSet>
#include <QString>

// Who works with the program: the operator logged in and the right codes he holds. Windows
// follow changed() instead of being told by the login.
class Session : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    QString operatorName() const { return m_name; }
    // The name as it was typed at the login, which the status bar shows.
    QString typedName() const { return m_typedName; }
    const QSet<QString> &rights() const { return m_rights; }
    bool holds(const QString &code) const { return m_rights.contains(code); }
    bool isAdmin() const { return isAdminName(m_name); }

    // The system's default operator, in any letter case and with blanks around.
    static bool isAdminName(const QString &name);

    // The operator named `typedName` (trimmed) now works with `rights`.
    void logIn(const QString &typedName, const QSet<QString> &rights);

signals:
    void changed();

private:
    QString m_name;
    QString m_typedName;
    QSet<QString> m_rights;
};
