#pragma once

#include <QString>

// A picture's name is the name of its file in the folder images/ of the program's folder,
// so it must be a plain file name there: these rules keep every picture file inside it.
namespace PictureName {

// Why `name` (with `extension`, which starts with its dot or is empty) cannot name a picture
// file, as the message to show; empty when it can.
QString problem(const QString &name, const QString &extension = {});

// The folder that holds every picture file.
QString folder();
// The picture's file, or empty when name or extension could leave the folder.
QString filePath(const QString &name, const QString &extension);
// What T_ImageREC.F_imagePath holds: the file relative to the program's folder.
QString storedPath(const QString &name, const QString &extension);

// The name a chosen file offers: its file name up to the first dot.
QString offeredFor(const QString &file);
// The chosen file's extension with its dot (case kept), empty without one.
QString extensionOf(const QString &file);

} // namespace PictureName
