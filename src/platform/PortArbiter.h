#pragma once
// The one owner of the ports that key the transmitter: the CW key line, the
// push-to-talk line and the WinKey keyer's port. Opening one for a role first
// closes the ports that must give way to it (the CW key closes the
// push-to-talk port; push-to-talk closes the CW key and the keyer; the keyer
// closes the other two), and any other role on the same device. The rig's
// CAT port and the spotting TNC's port are held here too, so that they and
// a key line never share a device.
// Closing a key line leaves it up.
#include "platform/KeyLine.h"

#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>

enum class PortRole { CwKey, Ptt, WinKey, Rig, Tnc };

struct KeyLineRequest {
    enum class Kind { Serial, Parallel };
    Kind kind = Kind::Serial;
    int portNumber = 0;     // serial port number (SerialPorts)
    QString printerAddress; // printer port base address as typed ("&H378")

    static KeyLineRequest serial(int n) { return {Kind::Serial, n, {}}; }
    static KeyLineRequest parallel(const QString &address) { return {Kind::Parallel, 0, address}; }
    bool operator==(const KeyLineRequest &) const = default;
};

class PortArbiter {
public:
    using Factory =
        std::function<std::unique_ptr<KeyLine>(PortRole, const KeyLineRequest &, QString *error)>;

    PortArbiter();
    ~PortArbiter();
    PortArbiter(const PortArbiter &) = delete;
    PortArbiter &operator=(const PortArbiter &) = delete;

    // Real devices, or a recording file in place of every device when
    // HALVERN_KEYLINE_RECORD names one.
    static Factory deviceFactory();
    void setFactory(Factory factory);

    // Opens the line of a role, closing its old one and those that give way.
    // Nothing and the reason in *error when the device cannot be opened.
    KeyLine *open(PortRole role, const KeyLineRequest &request, QString *error);
    KeyLine *line(PortRole role) const;
    std::optional<KeyLineRequest> request(PortRole role) const;
    void close(PortRole role);
    void closeAll();

    // A port held by something other than a key line (the keyer's serial
    // link, the rig's CAT port): closeIt is called when another role needs the port.
    void hold(PortRole role, int portNumber, std::function<void()> closeIt);

private:
    struct Holder {
        std::unique_ptr<KeyLine> line;
        std::optional<KeyLineRequest> request;
        std::function<void()> closeIt;
    };
    void makeWayFor(PortRole role, const KeyLineRequest &request);
    Holder &holder(PortRole role) { return m_holders[size_t(role)]; }

    std::array<Holder, 5> m_holders;
    Factory m_factory;
};
