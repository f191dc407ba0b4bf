#include "register/PictureName.h"

#include "core/AppHome.h"

#include <QFileInfo>

namespace PictureName {

namespace {

// Separators, the characters Windows and SMB shares cannot hold, and control characters:
// a picture folder on a shared drive must be able to hold every name.
bool isForbidden(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7f || QStringView(u"/\\:*?\"<>|").contains(c);
}

bool isPlain(const QString &part)
{
    for (QChar c : part) {
        if (isForbidden(c))
            return false;
    }
    return !part.contains(u"..");
}

// Bytes a file name may have on Linux file systems.
constexpr qsizetype kMaxFileNameBytes = 255;

} // namespace

QString problem(const QString &name, const QString &extension)
{
    if (!isPlain(name) || name == u".")
        return QStringLiteral("图片名称不能包含 \\ / : * ? \" < > | 等字符，也不能包含“..”，"
                              "请更换图片名！");
    if ((!extension.isEmpty() && (!extension.startsWith(u'.') || !isPlain(extension))) ||
        (name + extension).toUtf8().size() > kMaxFileNameBytes)
        return QStringLiteral("图片名称太长或扩展名不正确，请更换图片名！");
    return {};
}

QString folder()
{
    return AppHome::path(QStringLiteral("images"));
}

QString filePath(const QString &name, const QString &extension)
{
    if (name.isEmpty() || !problem(name, extension).isEmpty())
        return {};
    return folder() + u'/' + name + extension;
}

QString storedPath(const QString &name, const QString &extension)
{
    return QStringLiteral("images/") + name + extension;
}

QString offeredFor(const QString &file)
{
    const QString name = QFileInfo(file).fileName();
    const qsizetype dot = name.indexOf(u'.');
    return dot < 0 ? QString() : name.left(dot);
}

QString extensionOf(const QString &file)
{
    const QString name = QFileInfo(file).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot);
}

} // namespace PictureName
