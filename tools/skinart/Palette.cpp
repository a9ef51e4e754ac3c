#include "Palette.h"

#include <algorithm>
#include <array>
#include <span>
#include <unordered_map>
#include <vector>

namespace {

// A colour covering at least this many pixels is part of a flat area and
// keeps its exact value.
constexpr qint64 kFlatAreaPixels = 48;

struct Entry {
    QRgb rgb;
    qint64 count;
};
using Entries = std::span<Entry>;

int Channel(QRgb colour, int channel) {
    switch (channel) {
        case 0:
            return qRed(colour);
        case 1:
            return qGreen(colour);
        default:
            return qBlue(colour);
    }
}

// Weighted sums of a set of colours, from which its mean and its squared
// error (the summed squared distance of its pixels from the mean) follow.
struct Moments {
    double weight = 0;
    std::array<double, 3> sum{};
    std::array<double, 3> squares{};

    void Add(const Entry& e) {
        weight += e.count;
        for (int c = 0; c < 3; ++c) {
            const double v = Channel(e.rgb, c);
            sum[c] += v * e.count;
            squares[c] += v * v * e.count;
        }
    }
    double Error(int c) const { return weight > 0 ? squares[c] - sum[c] * sum[c] / weight : 0; }
    double Error() const { return Error(0) + Error(1) + Error(2); }
    Moments operator-(const Moments& part) const {
        Moments rest = *this;
        rest.weight -= part.weight;
        for (int c = 0; c < 3; ++c) {
            rest.sum[c] -= part.sum[c];
            rest.squares[c] -= part.squares[c];
        }
        return rest;
    }
};

struct Box {
    Entries entries;
    Moments moments;

    // What merging the box into one colour would cost; a single colour
    // cannot be split.
    double Cost() const { return entries.size() > 1 ? moments.Error() : -1; }
};

Box MakeBox(Entries entries) {
    Box box{entries, {}};
    for (const Entry& e : entries) box.moments.Add(e);
    return box;
}

// Splits along the channel in which the box varies most, at the place that
// leaves the least error in the two halves, so that a small cluster of a
// distinct colour (a coloured word) comes apart from a large grey mass.
std::pair<Box, Box> Split(const Box& box) {
    int channel = 0;
    for (int c = 1; c < 3; ++c)
        if (box.moments.Error(c) > box.moments.Error(channel)) channel = c;
    std::sort(box.entries.begin(), box.entries.end(), [&](const Entry& a, const Entry& b) {
        return Channel(a.rgb, channel) < Channel(b.rgb, channel);
    });
    Moments head;
    std::size_t bestCut = 1;
    double bestError = -1;
    for (std::size_t cut = 1; cut < box.entries.size(); ++cut) {
        head.Add(box.entries[cut - 1]);
        const double error = head.Error() + (box.moments - head).Error();
        if (bestError < 0 || error < bestError) {
            bestError = error;
            bestCut = cut;
        }
    }
    return {MakeBox(box.entries.first(bestCut)), MakeBox(box.entries.subspan(bestCut))};
}

QRgb WeightedMean(Entries entries) {
    std::array<qint64, 3> sum{};
    qint64 weight = 0;
    for (const Entry& e : entries) {
        for (int c = 0; c < 3; ++c) sum[c] += qint64(Channel(e.rgb, c)) * e.count;
        weight += e.count;
    }
    auto mean = [&](int c) { return int((sum[c] + weight / 2) / weight); };
    return qRgb(mean(0), mean(1), mean(2));
}

QList<QRgb> MedianCut(Entries entries, int colours) {
    QList<QRgb> palette;
    if (entries.empty() || colours <= 0) return palette;
    std::vector<Box> boxes{MakeBox(entries)};
    while (int(boxes.size()) < colours) {
        auto worst = std::max_element(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) {
            return a.Cost() < b.Cost();
        });
        if (worst->Cost() < 0) break;
        auto [first, second] = Split(*worst);
        *worst = first;
        boxes.push_back(second);
    }
    for (const Box& box : boxes) palette.append(WeightedMean(box.entries));
    return palette;
}

std::vector<Entry> Histogram(const QImage& picture) {
    std::unordered_map<QRgb, qint64> counts;
    for (int y = 0; y < picture.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) ++counts[row[x] | 0xFF000000u];
    }
    std::vector<Entry> entries;
    entries.reserve(counts.size());
    for (const auto& [rgb, count] : counts) entries.push_back({rgb, count});
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.count > b.count; });
    return entries;
}

}  // namespace

QImage ToIndexed8(const QImage& picture, int maxColours) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    std::vector<Entry> entries = Histogram(rgb);

    QList<QRgb> palette;
    std::size_t exact = 0;
    const std::size_t exactLimit = entries.size() <= std::size_t(maxColours)
                                       ? entries.size()
                                       : std::size_t(maxColours) * 3 / 4;
    while (exact < exactLimit &&
           (entries.size() <= std::size_t(maxColours) || entries[exact].count >= kFlatAreaPixels))
        palette.append(entries[exact++].rgb);
    palette.append(MedianCut(Entries(entries).subspan(exact), maxColours - int(exact)));

    return rgb.convertToFormat(QImage::Format_Indexed8, palette, Qt::ThresholdDither);
}
