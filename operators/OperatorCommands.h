#pragma once

class CommandRegistry;
class MainHost;

// Company information (101), password change (102), operators and rights (103) and changing
// the operator (the named command "actChangeOper").
void installOperatorCommands(CommandRegistry &commands, MainHost &host);
