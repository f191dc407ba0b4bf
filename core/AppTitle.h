#pragma once

#include <QString>

// The product's names as windows and the task bar show them.
namespace AppTitle {
inline QString product()
{
    return QStringLiteral("Quorin样品管理软件");
}
inline QString full()
{
    return QStringLiteral("Quorin样品管理软件(企业版)");
}
} // namespace AppTitle
