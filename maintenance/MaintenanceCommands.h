#pragma once

class CommandRegistry;
class MainHost;

// Clearing data (504), compacting the database (506), choosing another database for the next
// start (507) and the blank-row cleanups.
void installMaintenanceCommands(CommandRegistry &commands, MainHost &host);
