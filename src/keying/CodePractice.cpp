#include "keying/CodePractice.h"

#include "platform/SeqFile.h"

#include <algorithm>
#include <cmath>

namespace {
const QString Pool = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.,?/-");
constexpr int Letters = 26;

int bounded(const QString &text, int fallback, int most)
{
    const auto v = parseNumber(text);
    if (!v)
        return fallback;
    return int(std::clamp(std::trunc(*v), 1.0, double(most)));
}
} // namespace

namespace CodePractice {

int groupCount(const QString &text) { return bounded(text, DefaultGroups, MaxGroups); }
int groupSize(const QString &text) { return bounded(text, DefaultGroupSize, MaxGroupSize); }

QString groups(int count, int size, bool lettersOnly, QRandomGenerator &random)
{
    const int poolSize = lettersOnly ? Letters : int(Pool.size());
    QString out;
    out.reserve(count * (size + 1));
    for (int g = 0; g < count; ++g) {
        for (int c = 0; c < size; ++c)
            out += Pool.at(int(random.bounded(poolSize)));
        out += u' ';
    }
    return out;
}

} // namespace CodePractice
