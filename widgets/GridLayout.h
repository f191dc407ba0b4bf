#pragma once

#include <QString>

class DBGridEh;
class QTableView;

// Grid layouts kept in cfg_Grid under a key per window, and the column chooser.

// Replaces the grid's columns by the stored layout; without stored rows the grid keeps its
// built-in columns.
void LoadGridLayout(DBGridEh *grid, const QString &key);
// Updates the stored rows of the key from the grid's columns (order, widths, visibility…);
// columns without a stored row are not stored.
void SaveGridLayout(DBGridEh *grid, const QString &key);
// Asks "真的要保存当前网格设置吗？" and saves the layout on yes.
void askSaveGridLayout(DBGridEh *grid, const QString &key);
// Lets the user tick the visible columns; cancel changes nothing.
void ChooseColumns(DBGridEh *grid);
// The same on a plain grid, whose choice is not stored.
void ChooseColumns(QTableView *view);
// A plain grid's pop-up menu: "显示字段列表".
void addColumnChooserMenu(QTableView *view);
// The grid's pop-up menu of a list window: "显示字段列表" and "保存当前设置" under `key`.
void addLayoutMenu(DBGridEh *grid, const QString &key);
