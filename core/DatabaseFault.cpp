#include "core/DatabaseFault.h"

#include <QObject>

namespace DatabaseFault {

Kind classify(const QString &errorText)
{
    if (errorText.isEmpty())
        return Kind::None;
    const auto has = [&errorText](const char *words) {
        return errorText.contains(QLatin1String(words), Qt::CaseInsensitive);
    };
    if (has("database disk image is malformed") || has("file is not a database") ||
        has("malformed database schema"))
        return Kind::Damaged;
    if (has("attempt to write a readonly database") || has("read-only transaction") ||
        has("permission denied"))
        return Kind::ReadOnly;
    if (has("database is locked") || has("database table is locked") || has("lock timeout") ||
        has("deadlock detected"))
        return Kind::Busy;
    return Kind::Other;
}

QString message(Kind kind, const DataSource &source, bool atOpen)
{
    const QString where = source.describe();
    switch (kind) {
    case Kind::Damaged:
        return QObject::tr("数据库文件“%1”已损坏，其中的数据不能可靠地读写。为免损失，程序不再向它"
                           "写入。请用“数据备份恢复”恢复最近的备份。")
            .arg(where);
    case Kind::ReadOnly:
        return QObject::tr("数据库“%1”是只读的，不能保存修改。请检查文件和文件夹的写权限。")
            .arg(where);
    case Kind::Busy:
        return atOpen ? QObject::tr("数据库“%1”被另一个程序锁定，暂时无法打开。请关闭占用它的程序"
                                    "后再试。")
                            .arg(where)
                      : QObject::tr("数据库“%1”正忙：另一个工作站正在写入，这次操作没有完成。"
                                    "请稍后再试。")
                            .arg(where);
    case Kind::None:
    case Kind::Other:
        break;
    }
    return {};
}

} // namespace DatabaseFault
