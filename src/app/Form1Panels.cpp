// Score panel, grid map and contact list of the main window.
#include "app/Form1.h"

void Form1::connectPanels() {}
void Form1::refreshDerived() {}
void Form1::setPositionFromGrid() {}
void Form1::FillContactList() {}
void Form1::Labeldisplay() {}
void Form1::TimeStats() {}
void Form1::MarkWorkedGrids() {}
void Form1::GridFill() {}
void Form1::txtSec_Change() {}
void Form1::resetGridColors() {}
void Form1::mnuRecall_Click() {}
void Form1::mnuCopyListtoClipboard_Click() {}
void Form1::cmdDelete_Click() {}
void Form1::cmdEdit_Click() {}
void Form1::Command2_Click() {}
void Form1::mnuColors_Click() {}
