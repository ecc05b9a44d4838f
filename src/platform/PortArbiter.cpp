#include "platform/PortArbiter.h"

#include "platform/KeyLineSafety.h"
#include "platform/ParallelKeyLine.h"
#include "platform/RecordingKeyLine.h"
#include "platform/SerialKeyLine.h"
#include "platform/SerialPorts.h"

#include <QFile>

namespace {
// Whose serial port gives way when a role opens its own.
bool givesWay(PortRole opener, PortRole other)
{
    switch (opener) {
    case PortRole::CwKey: return other == PortRole::Ptt;
    case PortRole::Ptt: return other == PortRole::CwKey || other == PortRole::WinKey;
    case PortRole::WinKey: return other == PortRole::CwKey || other == PortRole::Ptt;
    case PortRole::Rig:
    case PortRole::Tnc: return false;
    }
    return false;
}

QString deviceOf(const KeyLineRequest &r)
{
    if (r.kind == KeyLineRequest::Kind::Serial)
        return SerialPorts::devicePath(r.portNumber);
    const auto base = ParallelPort::parseAddress(r.printerAddress);
    return QStringLiteral("printer port %1").arg(base ? qint64(*base) : -1);
}
} // namespace

PortArbiter::PortArbiter() : m_factory(deviceFactory()) {}

PortArbiter::~PortArbiter() { closeAll(); }

PortArbiter::Factory PortArbiter::deviceFactory()
{
    return [](PortRole role, const KeyLineRequest &r, QString *error) -> std::unique_ptr<KeyLine> {
        KeyLineSafety::installSignalHandlers();
        const QString record = RecordingKeyLine::fileFromEnvironment();
        if (!record.isEmpty()) {
            // Each run of the program starts its own recording.
            static bool started = false;
            if (!started) {
                started = true;
                QFile::resize(record, 0);
            }
            return std::make_unique<RecordingKeyLine>(
                role == PortRole::Ptt ? QStringLiteral("PTT") : QStringLiteral("KEY"), record);
        }
        if (r.kind == KeyLineRequest::Kind::Serial)
            return SerialKeyLine::open(SerialPorts::devicePath(r.portNumber), error);
        const auto base = ParallelPort::parseAddress(r.printerAddress);
        if (!base) {
            if (error)
                *error = QStringLiteral("\"%1\" is no printer port address").arg(r.printerAddress);
            return nullptr;
        }
        const QString device = ParallelPort::deviceForBase(*base, error);
        if (device.isEmpty())
            return nullptr;
        return ParallelKeyLine::open(device, ParportDriver::system(), error);
    };
}

void PortArbiter::setFactory(Factory factory) { m_factory = std::move(factory); }

void PortArbiter::makeWayFor(PortRole role, const KeyLineRequest &request)
{
    const QString device = deviceOf(request);
    for (PortRole other : {PortRole::CwKey, PortRole::Ptt, PortRole::WinKey, PortRole::Rig, PortRole::Tnc}) {
        if (other == role)
            continue;
        const auto &held = holder(other).request;
        if (!held)
            continue;
        const bool serialConflict = request.kind == KeyLineRequest::Kind::Serial &&
                                    held->kind == KeyLineRequest::Kind::Serial && givesWay(role, other);
        if (serialConflict || deviceOf(*held) == device)
            close(other);
    }
}

KeyLine *PortArbiter::open(PortRole role, const KeyLineRequest &request, QString *error)
{
    close(role);
    makeWayFor(role, request);
    QString why;
    std::unique_ptr<KeyLine> line = m_factory(role, request, &why);
    if (!line) {
        if (error)
            *error = why.isEmpty() ? QStringLiteral("cannot open ") + deviceOf(request) : why;
        return nullptr;
    }
    Holder &h = holder(role);
    h.line = std::move(line);
    h.request = request;
    return h.line.get();
}

KeyLine *PortArbiter::line(PortRole role) const { return m_holders[size_t(role)].line.get(); }

std::optional<KeyLineRequest> PortArbiter::request(PortRole role) const
{
    return m_holders[size_t(role)].request;
}

void PortArbiter::close(PortRole role)
{
    Holder &h = holder(role);
    if (h.line)
        h.line->setKey(false);
    h.line.reset();
    h.request.reset();
    if (auto closeIt = std::exchange(h.closeIt, nullptr))
        closeIt();
}

void PortArbiter::closeAll()
{
    for (PortRole role : {PortRole::CwKey, PortRole::Ptt, PortRole::WinKey, PortRole::Rig, PortRole::Tnc})
        close(role);
}

void PortArbiter::hold(PortRole role, int portNumber, std::function<void()> closeIt)
{
    const KeyLineRequest request = KeyLineRequest::serial(portNumber);
    close(role);
    makeWayFor(role, request);
    Holder &h = holder(role);
    h.request = request;
    h.closeIt = std::move(closeIt);
}
