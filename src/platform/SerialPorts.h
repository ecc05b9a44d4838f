#pragma once
// Serial port numbers as the settings files keep them, and the devices they
// stand for: port n is /dev/ttyS(n-1) unless the settings store maps it to
// another device (key "SerialPort<n>", e.g. a /dev/serial/by-id/ name or a
// pseudo-terminal). The CW key, push-to-talk, rig, TNC and keyer all find
// their device here.
#include <QString>
#include <QStringList>

namespace SerialPorts {

QString devicePath(int portNumber);
// Maps a port number to a device; an empty device returns it to /dev/ttyS(n-1).
void mapPort(int portNumber, const QString &device);
// The serial devices present on this computer, with stable by-id names
// where there are any.
QStringList existingDevices();

} // namespace SerialPorts
