#pragma once

class CommandRegistry;
class MainHost;

// Compacting the database (506) and choosing another database for the next start (507).
void installMaintenanceCommands(CommandRegistry &commands, MainHost &host);
