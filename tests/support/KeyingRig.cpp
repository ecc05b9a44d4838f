#include "support/KeyingRig.h"

#include "platform/Clock.h"

#include <QFile>
#include <QHash>

namespace {
// The signs of the characters the tests send, kept apart from the
// program's table so that the two check each other.
const QHash<QString, QChar> &bySigns()
{
    static const QHash<QString, QChar> t = [] {
        const char *const pairs[][2] = {
            {"A", ".-"},    {"B", "-..."},  {"C", "-.-."},  {"D", "-.."},   {"E", "."},     {"F", "..-."},
            {"G", "--."},   {"H", "...."},  {"I", ".."},    {"J", ".---"},  {"K", "-.-"},   {"L", ".-.."},
            {"M", "--"},    {"N", "-."},    {"O", "---"},   {"P", ".--."},  {"Q", "--.-"},  {"R", ".-."},
            {"S", "..."},   {"T", "-"},     {"U", "..-"},   {"V", "...-"},  {"W", ".--"},   {"X", "-..-"},
            {"Y", "-.--"},  {"Z", "--.."},  {"0", "-----"}, {"1", ".----"}, {"2", "..---"}, {"3", "...--"},
            {"4", "....-"}, {"5", "....."}, {"6", "-...."}, {"7", "--..."}, {"8", "---.."}, {"9", "----."},
            {"/", "-..-."}, {"?", "..--.."}, {"=", "-...-"}, {"[", ".-.-."}, {"]", "...-.-"}, {";", "-.--."}};
        QHash<QString, QChar> h;
        for (const auto &p : pairs)
            h.insert(QLatin1String(p[1]), QLatin1Char(p[0][0]));
        return h;
    }();
    return t;
}
} // namespace

std::vector<KeyEdge> recordedKeyEdges(const QString &file)
{
    std::vector<KeyEdge> edges;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return edges;
    for (const QByteArray &line : f.readAll().split('\n')) {
        const QList<QByteArray> v = line.split(' ');
        if (v.size() == 3 && v[1] == "KEY")
            edges.push_back({v[0].toLongLong(), v[2] == "1"});
    }
    return edges;
}

Decoded decodeMorse(const std::vector<KeyEdge> &edges, double unitMs)
{
    Decoded d;
    QString signs;
    auto endCharacter = [&] {
        if (!signs.isEmpty())
            d.text += bySigns().value(signs, u'?');
        signs.clear();
    };
    for (size_t i = 0; i + 1 < edges.size(); i += 2) {
        const double down = double(edges[i + 1].ns - edges[i].ns) / 1e6;
        d.downMs.push_back(down);
        signs += down / unitMs < 2 ? u'.' : u'-';
        if (i + 2 < edges.size()) {
            const double up = double(edges[i + 2].ns - edges[i + 1].ns) / 1e6;
            d.upMs.push_back(up);
            if (up / unitMs >= 2)
                endCharacter();
            if (up / unitMs >= 5)
                d.text += u' ';
        }
    }
    endCharacter();
    return d;
}

KeyingRig::KeyingRig(const QString &wpm)
{
    Clock::useFakeMonotonic(1'000'000'000, 1000);
    ports.setFactory([this](PortRole, const KeyLineRequest &, QString *) -> std::unique_ptr<KeyLine> {
        ++linesOpened;
        class Line : public RecordingKeyLine {
        public:
            explicit Line(KeyingRig &rig) : m_rig(rig) {}
            bool setKey(bool down) override
            {
                if (!m_rig.refuse.isEmpty() && down != isDown()) {
                    m_error = m_rig.refuse;
                    return false;
                }
                return RecordingKeyLine::setKey(down);
            }

        private:
            KeyingRig &m_rig;
        };
        auto line = std::make_unique<Line>(*this);
        line->onEdge = [this](const KeyEdge &e) { edges.push_back(e); };
        return line;
    });
    keyer.setEntry(&entry);
    keyer.settings.output = KeyingOutput::Rts;
    keyer.settings.port = QStringLiteral("1");
    keyer.settings.wpm = wpm;
}

KeyingRig::~KeyingRig() { Clock::useRealMonotonic(); }

void KeyingRig::send(const QString &text)
{
    keyer.append(text);
    keyer.sendBuffer();
}
