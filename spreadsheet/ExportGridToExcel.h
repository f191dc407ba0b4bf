#pragma once

#include <QString>

class DBGridEh;

// 导出 of every list window: every record of the grid's list in its current filter and order,
// every grid column in grid order (hidden ones too), written to "<title> <time>.xlsx" in export/
// of the program's folder while a progress box with 取消 keeps the window alive. With `visible`
// the file is opened with the desktop's program for it, or a box says where it is when none
// opens it. A failure or a cancel is told in a box and leaves no file. Returns the file, empty
// when none was written.
QString ExportGridToExcel(DBGridEh *grid, const QString &title, bool visible);
