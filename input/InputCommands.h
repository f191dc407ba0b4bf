#pragma once

class CommandRegistry;
class MainHost;

// The imports (501 catalogue, 502 clients, 503 suppliers) and the undo of the last one.
void installInputCommands(CommandRegistry &commands, MainHost &host);
