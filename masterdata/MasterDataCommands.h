#pragma once

class CommandRegistry;
class MainHost;

// Code lists and currencies (104, 105), the three type trees (106–108) and the catalogue,
// client and supplier registers (208–210).
void installMasterDataCommands(CommandRegistry &commands, MainHost &host);
