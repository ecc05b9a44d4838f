// The entry fields of the main window: keys, focus moves and logging.
#include "app/Form1.h"

void Form1::LogQso() {}
void Form1::frmcmp() {}
void Form1::cmdClear_Click() {}
bool Form1::eventFilter(QObject *watched, QEvent *event) { return QMainWindow::eventFilter(watched, event); }
void Form1::releaseHeldKeys() {}
