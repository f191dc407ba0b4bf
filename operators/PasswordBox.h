#pragma once

class QLineEdit;

// A box that shows a "*" for each character typed.
QLineEdit *passwordBox(const char *objectName);
