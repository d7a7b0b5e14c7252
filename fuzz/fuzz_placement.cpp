// Any stored placement, any DPI and any screens give a frame that fits in int
// and lies inside a screen's available area.
#include "platform/Settings.h"

#include <QRect>
#include <QVector>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace tw;

namespace {

template <typename T>
T take(const std::uint8_t *&data, std::size_t &size)
{
    T value{};
    const std::size_t n = size < sizeof value ? size : sizeof value;
    std::memcpy(&value, data, n);
    data += n;
    size -= n;
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Placement p;
    p.left = take<double>(data, size);
    p.top = take<double>(data, size);
    p.width = take<double>(data, size);
    p.height = take<double>(data, size);
    const double dpi = take<double>(data, size);
    QVector<QRect> screens;
    const int count = take<std::uint8_t>(data, size) % 4;
    for (int i = 0; i < count; ++i) {
        // Real screens: at most 32768 pixels from the origin, at most 16384 pixels each way.
        const int x = take<std::int16_t>(data, size), y = take<std::int16_t>(data, size);
        const int w = 1 + take<std::uint16_t>(data, size) % 16384, h = 1 + take<std::uint16_t>(data, size) % 16384;
        screens << QRect(x, y, w, h);
    }
    const QRect fallback = placementPixels(Placement(), 96);
    const QRect frame = reachablePlacement(placementPixels(p, dpi), fallback, screens);
    bool inside = screens.isEmpty() ? frame.width() <= kLargestFrame && frame.height() <= kLargestFrame : false;
    for (const QRect &screen : screens)
        inside = inside || screen.contains(frame);
    if (frame.width() <= 0 || frame.height() <= 0 || !inside) {
        std::fprintf(stderr, "fuzz_placement: frame %d,%d %dx%d is not on a screen\n", frame.x(), frame.y(),
                     frame.width(), frame.height());
        std::abort();
    }
    return 0;
}
