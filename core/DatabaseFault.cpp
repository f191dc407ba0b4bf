#include "core/DatabaseFault.h"

#include <QObject>
#include <QRegularExpression>

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
    // Our columns' length checks (SQLite) and widths (server): one value refused, no damage.
    if (has("CHECK constraint failed: length(") || has("value too long for type"))
        return Kind::TooLong;
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
        return atOpen
                   ? QObject::tr("数据库“%1”是只读的，而且它所在的文件夹也不能写入，程序无法"
                                 "打开它（读它也需要在文件夹中建立日志文件）。请检查文件和"
                                 "文件夹的写权限。")
                         .arg(where)
                   : QObject::tr("数据库“%1”是只读的，不能保存修改。请检查文件和文件夹的写权限。")
                         .arg(where);
    case Kind::Busy:
        return atOpen ? QObject::tr("数据库“%1”被另一个程序锁定，暂时无法打开。请关闭占用它的程序"
                                    "后再试。")
                            .arg(where)
                      : QObject::tr("数据库“%1”正忙：另一个工作站正在写入，这次操作没有完成。"
                                    "请稍后再试。")
                            .arg(where);
    case Kind::None:
    case Kind::TooLong:
    case Kind::Other:
        break;
    }
    return {};
}

QString tooLongError(const QString &column, int width)
{
    return QStringLiteral("CHECK constraint failed: length(%1) <= %2").arg(column).arg(width);
}

QString tooLongMessage(const QString &errorText)
{
    static const QRegularExpression named(QStringLiteral(R"(length\((\w+)\)\s*<=\s*(\d+))"));
    static const QRegularExpression width(QStringLiteral(R"(character varying\((\d+)\))"));
    const QString unchanged = QObject::tr("没有保存，其余数据不受影响，数据库可以照常使用。");
    if (const QRegularExpressionMatch m = named.match(errorText); m.hasMatch())
        return QObject::tr("“%1”一栏最多只能保存 %2 个字符，要保存的文字比这更长。")
                   .arg(m.captured(1), m.captured(2)) +
               unchanged;
    if (const QRegularExpressionMatch m = width.match(errorText); m.hasMatch())
        return QObject::tr("有一段文字超过了它那一栏最多能保存的 %1 个字符。").arg(m.captured(1)) +
               unchanged;
    return QObject::tr("有一段文字超过了它那一栏最多能保存的字符数。") + unchanged;
}

} // namespace DatabaseFault
