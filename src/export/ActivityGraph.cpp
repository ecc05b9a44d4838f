#include "export/ActivityGraph.h"

#include "log/Bands.h"
#include "log/DateTimeText.h"

#include <algorithm>
#include <cmath>

namespace ActivityGraph {

int groupOf(const QString &bandLabel)
{
    const int i = Bands::indexOf(bandLabel);
    return i >= 0 && i < GroupCount - 1 ? i : GroupCount - 1;
}

std::vector<std::vector<QPointF>> Data::series(int g) const
{
    std::vector<std::vector<QPointF>> runs;
    std::vector<QPointF> run;
    for (int k = 2; k < static_cast<int>(rate.size()); ++k) {
        if (group[k] == g) {
            if (run.empty())
                run.emplace_back(k - 1, rate[k - 1]);
            run.emplace_back(k, rate[k]);
        } else if (!run.empty()) {
            runs.push_back(std::move(run));
            run.clear();
        }
    }
    if (!run.empty())
        runs.push_back(std::move(run));
    return runs;
}

Data compute(const LogMirror &mirror)
{
    struct Contact {
        QDateTime at;
        int group;
    };
    std::vector<Contact> contacts;
    contacts.reserve(mirror.records().size());
    for (const QsoRecord &r : mirror.records())
        if (const auto at = DateTimeText::parseLogDateTime(r.flddate, r.fldtime))
            contacts.push_back({*at, groupOf(r.uband)});
    std::stable_sort(contacts.begin(), contacts.end(),
                     [](const Contact &a, const Contact &b) { return a.at < b.at; });

    Data d;
    if (static_cast<int>(contacts.size()) < MinContacts)
        return d;
    d.enough = true;
    d.start = contacts.front().at;
    d.end = contacts.back().at;
    d.spanSeconds = d.start.secsTo(d.end);
    for (int j = 0; j < LabelCount; ++j) {
        const QDateTime at = d.start.addSecs(j * d.spanSeconds / (LabelCount - 1));
        d.timeLabels.append(at.toString(QStringLiteral("HH:mm")));
        d.dateLabels.append(at.toString(QStringLiteral("MM/dd")));
    }

    d.rate.assign(Steps + 1, 0.0f);
    d.group.assign(Steps + 1, -1);
    std::vector<bool> holdsPoint(Steps + 1, false);
    const double secondsPerStep = static_cast<double>(d.spanSeconds) / Steps;
    const size_t n = contacts.size();
    for (size_t i = 0; i < n; ++i) {
        int count = 0;
        for (size_t j = i; j < n && contacts[i].at.secsTo(contacts[j].at) < WindowSeconds; ++j)
            ++count;
        const qint64 offset = d.start.secsTo(contacts[i].at);
        int sample = secondsPerStep > 0 ? static_cast<int>(offset / secondsPerStep) : 1;
        sample = std::clamp(sample, 1, Steps);
        const RatePoint p{sample, static_cast<float>(count * 6), contacts[i].group};
        d.points.push_back(p);
        // A later contact on the same sample replaces an earlier one.
        d.rate[sample] = p.rate;
        d.group[sample] = p.group;
        holdsPoint[sample] = true;
    }

    // Short pauses are bridged by a straight line to the next point; longer
    // ones drop to zero.
    int k = 2;
    while (k <= Steps) {
        if (holdsPoint[k]) {
            ++k;
            continue;
        }
        int next = 0;
        for (int m = k + 1; m <= std::min(k + BridgeSteps, Steps); ++m)
            if (d.rate[m] > 0) {
                next = m;
                break;
            }
        if (next == 0) {
            d.rate[k] = 0;
            ++k;
            continue;
        }
        const float from = d.rate[k - 1], to = d.rate[next];
        const int width = next - (k - 1);
        for (int s = k; s < next; ++s) {
            d.rate[s] = from + (to - from) * static_cast<float>(s - (k - 1)) / width;
            d.group[s] = d.group[next];
        }
        k = next;
    }
    d.peak = *std::max_element(d.rate.begin(), d.rate.end());
    return d;
}

Scale scaleFor(float peak)
{
    Scale s;
    if (!(peak > 0))
        return s;
    // A step of 1, 2 or 5 times a power of ten that gives at most 8 steps.
    const double raw = peak / static_cast<double>(MaxRateSteps);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = power;
    for (double f : {1.0, 2.0, 5.0, 10.0}) {
        step = f * power;
        if (step >= raw)
            break;
    }
    s.step = static_cast<float>(step);
    s.top = static_cast<float>(std::ceil(peak / step) * step);
    return s;
}

std::vector<float> rateSteps(const Scale &scale)
{
    std::vector<float> steps;
    if (!(scale.step > 0) || !(scale.top >= 0))
        return steps;
    // Each label is a whole number of steps, so none drifts by summing.
    const long count =
        std::clamp<long>(std::lround(scale.top / scale.step), 0, RateLabelCount - 1);
    for (long i = 0; i <= count; ++i)
        steps.push_back(static_cast<float>(i * static_cast<double>(scale.step)));
    return steps;
}

QString rateText(double rate)
{
    if (!std::isfinite(rate))
        rate = 0;
    // Halves round away from zero, and a rate that rounds to zero carries no
    // sign.
    double tenths = std::round(rate * 10);
    if (tenths == 0)
        tenths = 0;
    return QString::number(tenths / 10, 'f', 1);
}

} // namespace ActivityGraph
