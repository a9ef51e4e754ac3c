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

struct Box {
    Entries entries;
    int channel = 0;  // the channel with the widest spread
    int spread = 0;
    qint64 weight = 0;

    // How much merging this box into one colour would cost, roughly.
    qint64 Cost() const { return entries.size() > 1 ? spread * weight : -1; }
};

Box MakeBox(Entries entries) {
    std::array<int, 3> low{255, 255, 255};
    std::array<int, 3> high{0, 0, 0};
    Box box{entries};
    for (const Entry& e : entries) {
        for (int c = 0; c < 3; ++c) {
            low[c] = std::min(low[c], Channel(e.rgb, c));
            high[c] = std::max(high[c], Channel(e.rgb, c));
        }
        box.weight += e.count;
    }
    for (int c = 0; c < 3; ++c) {
        if (high[c] - low[c] > box.spread) {
            box.spread = high[c] - low[c];
            box.channel = c;
        }
    }
    return box;
}

// Splits at the weighted median of the widest channel; both halves keep at
// least one colour.
std::pair<Box, Box> Split(const Box& box) {
    std::sort(box.entries.begin(), box.entries.end(), [&](const Entry& a, const Entry& b) {
        return Channel(a.rgb, box.channel) < Channel(b.rgb, box.channel);
    });
    qint64 seen = 0;
    std::size_t cut = 1;
    for (; cut < box.entries.size() - 1; ++cut) {
        seen += box.entries[cut - 1].count;
        if (2 * seen >= box.weight) break;
    }
    return {MakeBox(box.entries.first(cut)), MakeBox(box.entries.subspan(cut))};
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
