#pragma once

class CommandRegistry;
class MainHost;

// The sample list's commands: new, edit, copy and delete a record (201–203, 207), sort (204),
// choose the columns (205) and save the grid layout (206).
void installSampleCommands(CommandRegistry &commands, MainHost &host);
