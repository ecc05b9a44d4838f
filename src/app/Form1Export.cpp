// The main window's commands that write the log to files or bring other logs
// into it: Cabrillo entry, ADIF and general-logger export, append and restore,
// archive, and the activity graph.
#include "app/Form1.h"

void Form1::connectExports() {}
