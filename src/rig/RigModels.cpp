#include "rig/RigModels.h"

namespace Rig {
namespace {
Model row(const char *name, Family f, const char *baud, char parity, char data, char stop,
          const char *freq, const char *mode, bool hex, StatusLayout layout = StatusLayout::None,
          int replyBytes = 0)
{
    Model m;
    m.name = QString::fromLatin1(name);
    m.family = f;
    m.baud = QString::fromLatin1(baud);
    m.parity = parity ? QChar(parity) : QChar();
    m.dataBits = data ? QChar(data) : QChar();
    m.stopBits = stop ? QChar(stop) : QChar();
    m.freqQuery = QString::fromLatin1(freq);
    m.modeQuery = QString::fromLatin1(mode);
    m.convertToHex = hex;
    m.layout = layout;
    m.replyBytes = replyBytes;
    return m;
}

QList<Model> build()
{
    using F = Family;
    using L = StatusLayout;
    const char *icomFreq = "FE FE 64 E0 03 FD", *icomMode = "FE FE 64 E0 04 FD";
    const char *status = "00 00 00 02 10";
    QList<Model> list{
        row("None", F::None, "", 0, 0, 0, "", "", false),
        row("Elecraft", F::KenwoodAscii, "4800", 'N', '8', '2', "FA;", "MD;", false),
        row("Icom", F::CiV, "1200", 'N', '8', '1', icomFreq, icomMode, true),
        row("Icom 735", F::CiV, "1200", 'N', '8', '1', icomFreq, icomMode, true),
        row("Kenwood", F::KenwoodAscii, "4800", 'N', '8', '2', "FA;", "MD;", false),
        row("Kenwood 2", F::KenwoodIf, "4800", 'N', '8', '2', "IF;", "", false),
        row("Ten Tec Omni VI", F::CiV, "1200", 'N', '8', '1', "FE FE 04 E0 03 FD", "FE FE 04 E0 04 FD", true),
        row("Ten Tec Orion", F::Orion, "56000", 'N', '8', '1', "?AF", "?RMM", false),
        row("Ten Tec Fnt Pnl", F::TenTecPanel, "56000", 'N', '8', '1', "3F 41 0D", "3F 4D 0D", true),
        row("Ten Tec Pegasus", F::Pegasus, "", 0, 0, 0, "", "", false),
        row("Yaesu", F::YaesuBcd, "4800", 'N', '8', '2', "00 00 00 00 03", "", true, L::None, 5),
        row("Yaesu 757 GX II", F::Yaesu757, "4800", 'N', '8', '2', "00 00 00 00 10", "", true, L::None, 75),
        row("Yaesu 890", F::YaesuStatus, "4800", 'N', '8', '2', status, "", true, L::Ft890, 18),
        row("Yaesu 920", F::YaesuStatus, "4800", 'N', '8', '2', status, "", true, L::Ft920, 28),
        row("Yaesu 990", F::YaesuStatus, "4800", 'N', '8', '2', status, "", true, L::Ft990, 16),
        row("Yaesu 1000 D", F::YaesuStatus, "4800", 'N', '8', '2', status, "", true, L::Ft990, 16),
        row("Yaesu 1000", F::YaesuStatus, "4800", 'N', '8', '2', status, "", true, L::Ft1000, 16),
        row("Yaesu FTdx9000", F::Ftdx9000, "4800", 0, 0, 0, "FA;", "MD0;", false),
        row("Other", F::Other, "", 0, 0, 0, "", "", false),
        row("Hamlib rigctld", F::Rigctld, "", 0, 0, 0, "", "", false),
    };
    list[2].icomNote = list[3].icomNote = true;
    return list;
}
} // namespace

const QList<Model> &models()
{
    static const QList<Model> list = build();
    return list;
}

const Model &model(const QString &name)
{
    for (const Model &m : models())
        if (m.name == name)
            return m;
    return models().front();
}

bool alternatesQueries(Family f)
{
    return f == Family::CiV || f == Family::Ftdx9000 || f == Family::TenTecPanel;
}

} // namespace Rig
