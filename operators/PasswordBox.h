#pragma once

class QLineEdit;

// A box that shows a dot for each character typed.
QLineEdit *passwordBox(const char *objectName);
