#pragma once

class CommandRegistry;
class MainHost;

// The tools and help menus' commands, open to every operator: the calculator and a text
// editor of the desktop, the help and read-me files, the about box and the web site.
void installHelpCommands(CommandRegistry &commands, MainHost &host);
