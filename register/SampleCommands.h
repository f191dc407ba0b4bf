#pragma once

class TFrmMain;

// The main window's record commands on its sample list's current record.
void NewSampleCommand(TFrmMain *main);
void EditSampleCommand(TFrmMain *main);
void CopySampleCommand(TFrmMain *main);
void DeleteSampleCommand(TFrmMain *main);
