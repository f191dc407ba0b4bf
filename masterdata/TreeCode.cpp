#include "masterdata/TreeCode.h"

#include "core/DataDm.h"
#include "core/Prompt.h"
#include "core/SqlFilter.h"
#include "core/Transaction.h"

#include <algorithm>

#include <QSqlQuery>

namespace {

// SQL counts characters; QString counts UTF-16 units.
int sqlLength(const QString &text)
{
    return int(text.toUcs4().size());
}

// "substr(column, 1, ?) = ?" with its values: the column starts with `prefix`, exactly.
QString startsWith(const QString &column)
{
    return QStringLiteral("substr(%1, 1, ?) = ?").arg(column);
}

bool isSegment(const QString &text)
{
    return text.size() == 3 &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

const QList<TreeKind> &treeKinds()
{
    static const QList<TreeKind> kinds{
        {QStringLiteral("type"),
         QStringLiteral("样品类型"),
         1,
         2,
         {QStringLiteral("GoodMain"), QStringLiteral("T_goods")}},
        {QStringLiteral("clttype"), QStringLiteral("客户类型"), 3, 4, {QStringLiteral("T_client")}},
        {QStringLiteral("suptype"),
         QStringLiteral("供应商类型"),
         5,
         6,
         {QStringLiteral("T_suppler")}},
    };
    return kinds;
}

const TreeKind *treeKindByMode(int mode)
{
    for (const TreeKind &kind : treeKinds()) {
        if (kind.maintenanceMode == mode || kind.pickerMode == mode)
            return &kind;
    }
    return nullptr;
}

const TreeKind *treeKindByFlag(const QString &flag)
{
    for (const TreeKind &kind : treeKinds()) {
        if (kind.flag == flag)
            return &kind;
    }
    return nullptr;
}

QList<tNodeData> treeNodes(const QString &kind, bool *ok)
{
    QList<tNodeData> nodes;
    QSqlQuery q(dmData->database());
    const bool opened =
        dmData->OpenSql(q,
                        QStringLiteral("select F_code, F_name, F_likecode from "
                                       "t_treecode where F_flag = ? order by F_code"),
                        {kind});
    while (opened && q.next()) {
        const QString code = q.value(0).toString();
        nodes.append({int(code.size()), code, q.value(1).toString(), q.value(2).toString()});
    }
    if (ok)
        *ok = opened;
    return nodes;
}

QString childPath(const QString &parentPath, const QString &name)
{
    return QString(parentPath + u'\\' + name).replace(QStringLiteral("\\\\\\"), kRootLikeCode);
}

QString GetNextTreeCode(const QString &code, const QString &kind, int mode)
{
    // The root's code stands for no parent at all.
    const QString own = code == kRootCode ? QString() : code;
    const QString prefix = mode == 1 ? own.left(qMax(0, own.size() - 3)) : own;
    const int width = int(prefix.size()) + 3;
    QString greatest =
        prefix.isEmpty()
            ? dmData->GetStrValue(QStringLiteral("select max(F_code) from t_treecode "
                                                 "where length(F_code) = 3 and F_flag = ?"),
                                  {kind})
            : dmData->GetStrValue(QStringLiteral("select max(F_code) from t_treecode "
                                                 "where F_flag = ? and ") +
                                      startsWith(QStringLiteral("F_code")),
                                  {kind, sqlLength(prefix), prefix});
    // The greatest code may lie under the last node of the level.
    if (greatest.size() > width)
        greatest.truncate(width);
    // Nothing on that level yet (or the parent's row is gone): start it.
    if (greatest.size() < width)
        return prefix + QStringLiteral("001");
    const QString last = greatest.right(3);
    if (!isSegment(last) || last == u"999")
        return {};
    return prefix + QStringLiteral("%1").arg(last.toInt() + 1, 3, 10, QLatin1Char('0'));
}

namespace {

bool logged(bool ok, const QString &error)
{
    if (!ok)
        qWarning("type tree not changed: %s", qPrintable(error));
    return ok;
}

// Tree changes report their failure in the tree's own words.
bool reported(bool ok)
{
    if (!ok)
        ShowPrompt(kMsgTreeFailed, Prompt::Error);
    return ok;
}

} // namespace

bool insertTreeNode(const QString &kind, const QString &code, const QString &name,
                    const QString &path)
{
    QString error;
    Transaction transaction(dmData->database());
    const bool ok = transaction.began(&error) &&
                    dmData->writer(Journal::kAdded, name)
                        .insert(QStringLiteral("t_treecode"),
                                {{QStringLiteral("F_code"), code},
                                 {QStringLiteral("F_name"), name},
                                 {QStringLiteral("F_likecode"), path},
                                 {QStringLiteral("F_flag"), kind}},
                                &error) &&
                    transaction.commit(&error);
    return reported(logged(ok, error));
}

bool renameTreeNode(const QString &kind, const QString &code, const QString &name,
                    const QString &oldPath, const QString &newPath)
{
    QString error;
    Transaction transaction(dmData->database());
    if (!transaction.began(&error))
        return reported(logged(false, error));
    RecordWriter writer = dmData->writer(Journal::kRenamed, name);
    bool ok =
        writer.updateEach(
            QStringLiteral("t_treecode"), QStringLiteral("F_code = ? and F_flag = ?"), {code, kind},
            QStringLiteral("F_name"), [&](const QVariant &) { return name; }, &error) &&
        writer.updateEach(
            QStringLiteral("t_treecode"), QStringLiteral("F_code = ? and F_flag = ?"), {code, kind},
            QStringLiteral("F_likecode"), [&](const QVariant &) { return newPath; }, &error);
    // A path that is not below the root would match far more than the node's own subtree.
    const bool cascade = ok && oldPath != newPath && oldPath.size() > kRootLikeCode.size() &&
                         oldPath.startsWith(kRootLikeCode);
    if (cascade) {
        // The path itself or the path and "\": "\\A" must not take in "\\AB". The rest of a
        // path after the old one is kept, which is empty for the node's own path.
        const QString below = oldPath + u'\\';
        const auto moved = [&](const QVariant &path) {
            return QVariant(newPath + path.toString().mid(oldPath.size()));
        };
        ok = writer.updateEach(
            QStringLiteral("t_treecode"),
            QStringLiteral("F_flag = ? and ") + startsWith(QStringLiteral("F_code")) +
                QStringLiteral(" and F_code <> ? and ") + startsWith(QStringLiteral("F_likecode")),
            {kind, sqlLength(code), code, code, sqlLength(below), below},
            QStringLiteral("F_likecode"), moved, &error);
        const TreeKind *tree = treeKindByFlag(kind);
        for (const QString &table : tree ? tree->recordTables : QStringList()) {
            ok = ok &&
                 writer.updateEach(
                     table, QStringLiteral("F_type = ? or ") + startsWith(QStringLiteral("F_type")),
                     {oldPath, sqlLength(below), below}, QStringLiteral("F_type"), moved, &error);
        }
    }
    return reported(logged(ok && transaction.commit(&error), error));
}

bool deleteTreeNode(const QString &kind, const QString &code)
{
    // An empty prefix would match the whole tree.
    if (code.isEmpty() || code == kRootCode)
        return false;
    QString error;
    Transaction transaction(dmData->database());
    const bool ok =
        transaction.began(&error) &&
        dmData->writer(Journal::kDeleted, code)
            .removeWhere(QStringLiteral("t_treecode"),
                         QStringLiteral("F_flag = ? and ") + startsWith(QStringLiteral("F_code")),
                         {kind, sqlLength(code), code}, &error) &&
        transaction.commit(&error);
    return reported(logged(ok, error));
}

bool treePathTaken(const QString &kind, const QString &path, const QString &exceptCode)
{
    QString sql = QStringLiteral("select count(*) from t_treecode where F_flag = ? and "
                                 "F_likecode = ?");
    QVariantList values{kind, path};
    if (!exceptCode.isEmpty()) {
        sql += QStringLiteral(" and F_code <> ?");
        values << exceptCode;
    }
    return dmData->GetIntValue(sql, values) > 0;
}

void addTypeFilter(SqlFilter &filter, const QString &column, const QString &likeCode)
{
    if (likeCode.isEmpty() || likeCode == kRootLikeCode)
        return;
    const QString below = likeCode + u'\\';
    filter.add(u'(' + column + QStringLiteral(" = ? or ") + startsWith(column) + u')',
               {likeCode, sqlLength(below), below});
}
