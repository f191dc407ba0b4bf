#pragma once

class CommandRegistry;
class MainHost;

// Installs every subsystem's handlers of the main window's commands: the one place that
// knows which subsystems there are.
void installMainCommands(CommandRegistry &commands, MainHost &host);
