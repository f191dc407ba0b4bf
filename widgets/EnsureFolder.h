#pragma once

#include <QString>

// Whether `folder` is there, or was made with its missing parents after the user agreed to
// "当前目录<folder> 不存在，是否创建！"; a failed creation says "目录<folder>" + `failure`.
bool EnsureFolder(const QString &folder, const QString &failure);
