#pragma once

class CommandRegistry;
class MainHost;

// The output commands of the main window: 301 导出 of the sample list.
void installOutputCommands(CommandRegistry &commands, MainHost &host);
