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
inline QString webSite()
{
    return QStringLiteral("https://quorin.example.com/");
}
inline QString contactLine()
{
    return QStringLiteral("服务热线 400-800-1234");
}
} // namespace AppTitle
