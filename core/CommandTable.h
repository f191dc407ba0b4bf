#pragma once

#include <QString>
#include <vector>

// The numbered commands of the main window: caption and icon. Codes 101 to 505 double as
// rights.
struct MainCommand
{
    int id;
    const char *caption;
    const char *icon; // freedesktop icon name, may be empty
};

const std::vector<MainCommand> &mainCommands();

// True for the commands an operator must hold the right of the same number for.
bool isRightControlled(int id);

// The top-level menu a numbered command belongs to: 1 file, 2 edit, 3 output, 4 statistics,
// 5 data, 9 pictures.
inline int menuGroupOf(int id)
{
    return id / 100;
}
