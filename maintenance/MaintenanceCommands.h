#pragma once

class CommandRegistry;
class MainHost;

// Clearing data (504), backup and restore (505) with the automatic backup at start, compacting the
// database (506), choosing another database for the next start (507) and the blank-row cleanups.
void installMaintenanceCommands(CommandRegistry &commands, MainHost &host);
