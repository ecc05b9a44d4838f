#pragma once
// The program's name and version as the files it writes name their creator.
#include <QString>

struct ProgramInfo {
    QString name = QStringLiteral("Halvern");
    QString version = QStringLiteral(HALVERN_VERSION);

    // "Halvern 0.1.0": the creator line of the Cabrillo and ADIF files, cut to
    // its first 60 characters like the main window's title it mirrors.
    QString title() const { return (name + u' ' + version).left(60).trimmed(); }
};
