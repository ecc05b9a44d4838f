#pragma once
// The link to the rig's CAT port: a serial port, or a TCP connection to a
// rig control daemon. Everything is non-blocking: writes are queued, reads
// take what has arrived.
#include <QByteArray>
#include <QObject>
#include <QString>

class RigLink : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // False and the reason when the device cannot be opened or set up.
    virtual bool open(QString *error) = 0;
    virtual void close() = 0;
    // Ready to carry bytes (a TCP link may still be connecting after open).
    virtual bool isReady() const = 0;
    virtual void write(const QByteArray &bytes) = 0;
    // Everything received since the last call.
    virtual QByteArray readAll() = 0;
    // Bytes written but not yet sent on the line.
    virtual qint64 bytesToWrite() const = 0;

signals:
    // The device went away (unplugged, closed by the daemon, taken by
    // another part of the program) or could not be reached.
    void lost(const QString &why);
};
