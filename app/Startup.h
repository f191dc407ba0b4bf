#pragma once

// Runs the program from the splash window to the end of the message loop; returns the exit
// code. The program's folder must be set (AppHome) before.
int runStartup();
