#pragma once

class CommandRegistry;
class MainHost;

// Changing the operator (the named command "actChangeOper").
void installOperatorCommands(CommandRegistry &commands, MainHost &host);
