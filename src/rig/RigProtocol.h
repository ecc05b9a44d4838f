#pragma once
// The bytes of a rig's poll queries, the cutting of its replies into whole
// frames, and the reading of each frame into a frequency and a mode. Plain
// functions: nothing here touches a port or a timer.
#include "rig/RigModels.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace Rig {

// What the rig told us last. A reply that does not fit leaves it as it was.
struct RigState {
    float frequency = 0;  // MHz; 0 until a reply was read
    QString mode;         // "PH", "CW", "AM", "FM" or empty
    int vfo = 10;         // VFO digit of the last IF reply; 10 when none yet
    bool operator==(const RigState &) const = default;
};

// The queries as the operator left them in the window.
struct QuerySetup {
    const Model *model = nullptr;
    QString freqQuery, modeQuery;
    bool convertToHex = false; // read for "Other" only
};

struct Query {
    QByteArray bytes;  // empty: nothing goes out this time
    QString problem;   // why a query was not sent (a malformed hex query)
};

// The query of one send phase. modeTurn says which of two alternating
// queries is due; it flips for the alternating families even when nothing
// could be sent.
Query pollQuery(const QuerySetup &setup, bool &modeTurn);

// "FE FE 64" -> bytes: a two-digit hex value at every third position.
// Nothing when a pair is not hex, or the text is shorter than minChars.
std::optional<QByteArray> hexTextToBytes(const QString &text, int minChars = 2);
// Each byte as two upper-case hex digits, followed by a space when spaced.
QString bytesToHexText(const QByteArray &bytes, bool spaced = true);

// Collects what the rig sends and cuts it into complete replies; a reply
// that arrives in pieces is kept until its end has come. A piece that did
// not grow over a whole read is given up, so a garbled byte cannot hold up
// the replies after it.
class ReplyFramer {
public:
    explicit ReplyFramer(const Model &model) : m_model(&model) {}
    void append(const QByteArray &bytes);
    // The complete replies received so far, oldest first.
    QList<QByteArray> takeFrames();
    // At the end of a read: a leftover piece that was already there at the
    // previous read is dropped.
    void endRead();
    // Just before a new query: what is still on its way is taken in. A rig
    // whose replies have a fixed length and no end mark gets a clean start
    // unless whole replies are waiting, so one short reply cannot shift the
    // ones after it.
    void beforeQuery(const QByteArray &bytes);
    void clear() { m_buffer.clear(); }
    QByteArray pending() const { return m_buffer; }

private:
    const Model *m_model;
    QByteArray m_buffer;
    bool m_grew = false; // bytes came in since the last read
};

// Reads one complete reply into the state. False, with the state untouched,
// when the reply does not fit the rig's rules.
bool parseReply(const QuerySetup &setup, const QByteArray &frame, RigState &state);

// The exchange file of the Pegasus control program: a frequency in MHz and a
// mode. False (state untouched) when the text holds no usable pair.
bool parsePegasusFile(const QByteArray &contents, RigState &state);

// The sub-band mode of a frequency; nothing outside the table (every bound
// exclusive).
std::optional<QString> modeFromFrequency(float mhz);

} // namespace Rig
