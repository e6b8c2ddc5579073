// Page format conversions of the sample levels, with a median-cut palette for the 8-bit pages.
#include "sample_pixels.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int bins = 32 * 32 * 32; // 5 bits a channel

int bin_of(rgba c) {
    return ((c.r >> 3) << 10) | ((c.g >> 3) << 5) | (c.b >> 3);
}
int channel(int bin, int ch) {
    return (bin >> (10 - 5 * ch)) & 31;
}

struct colour_box {
    std::vector<int> members; // bins
    long long weight = 0;
    int longest = 0, range = 0;
};

void measure(colour_box& box, const std::vector<long long>& hist) {
    std::array<int, 3> lo{31, 31, 31}, hi{0, 0, 0};
    box.weight = 0;
    for (int b : box.members) {
        box.weight += hist[b];
        for (int ch = 0; ch < 3; ++ch) {
            lo[ch] = std::min(lo[ch], channel(b, ch));
            hi[ch] = std::max(hi[ch], channel(b, ch));
        }
    }
    box.longest = 0;
    for (int ch = 1; ch < 3; ++ch)
        if (hi[ch] - lo[ch] > hi[box.longest] - lo[box.longest]) box.longest = ch;
    box.range = hi[box.longest] - lo[box.longest];
}

int distance(const std::array<std::uint8_t, 768>& palette, int i, int r6, int g6, int b6) {
    const int dr = palette[i * 3] - r6, dg = palette[i * 3 + 1] - g6, db = palette[i * 3 + 2] - b6;
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

} // namespace

std::uint8_t nearest_index(const std::array<std::uint8_t, 768>& palette, int r, int g, int b) {
    const int r6 = r >> 2, g6 = g >> 2, b6 = b >> 2;
    int best = 1, best_d = distance(palette, 1, r6, g6, b6);
    for (int i = 2; i < 256; ++i) {
        const int d = distance(palette, i, r6, g6, b6);
        if (d < best_d) best = i, best_d = d;
    }
    return std::uint8_t(best);
}

indexed_pages index_pages(const std::vector<picture>& pages) {
    std::vector<long long> hist(bins, 0);
    std::vector<std::array<long long, 3>> sums(bins, {0, 0, 0}); // true colours, for exact means
    for (const auto& p : pages)
        for (const auto& c : p.px)
            if (c.a >= 128) {
                const int b = bin_of(c);
                ++hist[b];
                sums[b][0] += c.r, sums[b][1] += c.g, sums[b][2] += c.b;
            }

    std::vector<colour_box> boxes(1);
    for (int b = 0; b < bins; ++b)
        if (hist[b]) boxes[0].members.push_back(b);
    measure(boxes[0], hist);

    // Split the heaviest box that still spans more than one level, at its weighted median.
    while (boxes.size() < 255) {
        colour_box* pick = nullptr;
        for (auto& box : boxes)
            if (box.range > 0 &&
                (!pick || double(box.weight) * (box.range + 1) > double(pick->weight) * (pick->range + 1)))
                pick = &box;
        if (!pick) break;
        const int ch = pick->longest;
        std::sort(pick->members.begin(), pick->members.end(),
                  [&](int a, int b) { return channel(a, ch) < channel(b, ch); });
        long long half = 0;
        std::size_t cut = 0;
        while (cut + 1 < pick->members.size() && (half += hist[pick->members[cut]]) * 2 < pick->weight)
            ++cut;
        // Keep equal channel values on one side so that both halves shrink.
        const int cut_value = channel(pick->members[cut], ch);
        auto mid = std::partition_point(pick->members.begin(), pick->members.end(),
                                        [&](int b) { return channel(b, ch) <= cut_value; });
        if (mid == pick->members.end())
            mid = std::partition_point(pick->members.begin(), pick->members.end(),
                                       [&](int b) { return channel(b, ch) < cut_value; });
        colour_box upper;
        upper.members.assign(mid, pick->members.end());
        pick->members.erase(mid, pick->members.end());
        measure(*pick, hist);
        measure(upper, hist);
        boxes.push_back(std::move(upper));
    }

    indexed_pages out;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        double sum[3] = {0, 0, 0};
        for (int b : boxes[i].members)
            for (int ch = 0; ch < 3; ++ch)
                sum[ch] += double(sums[b][ch]);
        for (int ch = 0; ch < 3; ++ch) {
            const double mean = boxes[i].weight ? sum[ch] / double(boxes[i].weight) : 0;
            out.palette[(i + 1) * 3 + ch] = std::uint8_t(std::clamp(int(std::lround(mean / 4.0)), 0, 63));
        }
    }
    // Unused entries repeat the last colour so that nearest-colour searches never pick them wrongly.
    for (std::size_t i = boxes.size() + 1; i < 256; ++i)
        for (int ch = 0; ch < 3; ++ch)
            out.palette[i * 3 + ch] = out.palette[boxes.size() * 3 + ch];

    std::vector<std::int16_t> lookup(bins, -1);
    out.pixels.resize(pages.size() * 65536);
    std::size_t k = 0;
    for (const auto& p : pages)
        for (const auto& c : p.px) {
            if (c.a < 128) {
                out.pixels[k++] = 0;
                continue;
            }
            const int b = bin_of(c);
            if (lookup[b] < 0)
                lookup[b] = nearest_index(out.palette, channel(b, 0) * 8 + 4, channel(b, 1) * 8 + 4,
                                          channel(b, 2) * 8 + 4);
            out.pixels[k++] = std::uint8_t(lookup[b]);
        }
    return out;
}

std::uint16_t to_argb1555(rgba c) {
    if (c.a < 128) return 0;
    return std::uint16_t(0x8000 | ((c.r >> 3) << 10) | ((c.g >> 3) << 5) | (c.b >> 3));
}

std::vector<std::uint8_t> pages16_of(const std::vector<picture>& pages) {
    std::vector<std::uint8_t> out;
    out.reserve(pages.size() * 131072);
    for (const auto& p : pages)
        for (const auto& c : p.px) {
            const std::uint16_t v = to_argb1555(c);
            out.push_back(std::uint8_t(v));
            out.push_back(std::uint8_t(v >> 8));
        }
    return out;
}

std::vector<std::uint8_t> pages32_of(const std::vector<picture>& pages) {
    std::vector<std::uint8_t> out;
    out.reserve(pages.size() * 262144);
    for (const auto& p : pages)
        for (const auto& c : p.px) {
            const bool opaque = c.a >= 128;
            out.push_back(opaque ? c.b : 0);
            out.push_back(opaque ? c.g : 0);
            out.push_back(opaque ? c.r : 0);
            out.push_back(opaque ? 255 : 0);
        }
    return out;
}

std::array<std::uint8_t, 8192> light_map_of(const std::array<std::uint8_t, 768>& palette) {
    std::array<std::uint8_t, 8192> map{};
    for (int level = 0; level < 32; ++level) {
        const double f = 1.0 - level / 32.0;
        for (int i = 1; i < 256; ++i)
            map[level * 256 + i] =
                nearest_index(palette, int(palette[i * 3] * 4 * f), int(palette[i * 3 + 1] * 4 * f),
                              int(palette[i * 3 + 2] * 4 * f));
    }
    return map;
}
