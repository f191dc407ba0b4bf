#pragma once

#include "core/Work.h"

#include <QSqlDatabase>
#include <QString>

// 上传本机图片: a server's rows whose pictures the server lacks take them from this
// workstation's images/, where the register once kept them as files.
namespace PictureUpload {

struct Counts
{
    int uploaded = 0; // contents stored now
    int present = 0;  // pictures the server held already
    int absent = 0;   // no such file here either
    int unreadable = 0;
};

// Uploads, each file in a transaction of its own (a stop keeps what was stored), progress told
// in bytes read of the bytes to read. Failed with the server's reason when a write fails.
WorkResult run(QSqlDatabase &server, const QString &imagesFolder, Counts *counts,
               const WorkProgress &progress = {});

// "已上传 N 张图片，服务器上已有 M 张，本机没有 K 张，无法读取 U 张。"
QString report(const Counts &counts);

} // namespace PictureUpload
