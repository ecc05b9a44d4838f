#pragma once
// The bytes that set a rig's frequency and mode, for every rig family.
// Frequencies are whole hertz from the caller to the wire. A frequency the
// rig's command cannot carry (zero, negative, more digits than the command
// has) builds nothing and says why: a binary command cut or padded to fit
// could read as a different command to the rig.
#include "rig/RigModels.h"

#include <QByteArray>
#include <QString>

namespace Rig {

// What the command needs of the rig window's setup.
struct CommandSetup {
    const Model *model = nullptr;
    QString freqQuery, modeQuery; // the address or VFO letters are taken from them
    int vfo = 10;                 // VFO digit of the last IF reply
    QString rigMode;              // the mode last read (written for the Pegasus program)
};

struct Command {
    QByteArray bytes;     // what goes to the rig; empty: nothing
    QString refused;      // why nothing is sent although the rig takes such commands
    bool toFile = false;  // bytes are the Pegasus exchange file, not serial output
    int settleMs = 0;     // the rig's settle time before the frequency command
    int afterMs = 0;      // a further wait after it (Elecraft, Omni VI)
};

// The frequency command for hz. Rigs that take none give an empty command
// without a reason.
Command frequencyCommand(const CommandSetup &setup, qint64 hz);
// The mode command for a mode name ("CW", "CW-R", "LSB", "USB", "AM", "FM",
// "RTTY", "RTTY-R", "FSK", "DIG", "PKT"). A name the rig has no command for
// sends nothing.
Command modeCommand(const CommandSetup &setup, const QString &mode);

// Whole hertz of a MHz value (typed or read from a file), rounded.
qint64 hzFromMHz(double mhz);
// MHz as its shortest decimal text: 14250000 -> "14.25".
QString mhzText(qint64 hz);

} // namespace Rig
