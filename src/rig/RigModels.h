#pragma once
// The rigs the logger can poll: each model's name as the settings files keep
// it, the protocol family that talks to it, and the serial settings and
// queries it starts from when the operator picks it.
#include <QList>
#include <QString>

namespace Rig {

enum class Family {
    None,        // no rig: nothing is polled
    KenwoodAscii,// FA / MD text replies ended by ';' (Kenwood, Elecraft)
    KenwoodIf,   // the IF status reply
    Ftdx9000,    // FA with 8 digits, MD0
    Orion,       // @AF / @RMM text replies ended by CR
    CiV,         // Icom CI-V frames FE FE .. FD
    YaesuBcd,    // 5-byte frequency-and-mode reply
    Yaesu757,    // 757 GX II status block
    YaesuStatus, // 890 / 920 / 990 / 1000 status blocks
    TenTecPanel, // Ten-Tec front-panel binary
    Pegasus,     // exchange files of the Pegasus control program
    Other,       // the operator's own queries, reply shown raw
    Rigctld,     // Hamlib's rigctld over TCP
};

// Where a Yaesu status block keeps the frequency.
enum class StatusLayout { None, Ft890, Ft920, Ft990, Ft1000 };

struct Model {
    QString name;
    Family family = Family::None;
    // Serial defaults; an empty baud or a '\0' option leaves the window's choice.
    QString baud;
    QChar parity, dataBits, stopBits;
    QString freqQuery, modeQuery;
    bool convertToHex = false; // what the check box shows for the model
    bool icomNote = false;
    StatusLayout layout = StatusLayout::None;
    // Binary replies of fixed length (Yaesu): the bytes of one reply.
    int replyBytes = 0;
};

// Every model in list order, "None" first, "Other" and "Hamlib rigctld" last.
const QList<Model> &models();
// The model of that exact name; "None" for a name that is not in the list.
const Model &model(const QString &name);
inline bool isKnown(const QString &name)
{
    for (const Model &m : models())
        if (m.name == name)
            return true;
    return false;
}

inline const QString RigctldName = QStringLiteral("Hamlib rigctld");

// Families that poll frequency and mode with alternating queries.
bool alternatesQueries(Family f);
// Families that use no serial port.
inline bool usesSerialPort(Family f)
{
    return f != Family::None && f != Family::Pegasus && f != Family::Rigctld;
}

} // namespace Rig
