// Numeric reading, count conversion and number text on any answer.
#include "platform/Prompt.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace tw;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString answer = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const double reading = numericReading(answer);
    const qint16 count = countConversion(answer);
    if (count != countConversion(reading) || std::isnan(reading)) {
        std::fprintf(stderr, "fuzz_numbers: count or reading disagrees\n");
        std::abort();
    }
    // A whole reading of up to 15 digits is written as plain digits and reads back the same.
    const QString text = numberText(reading);
    if (std::isfinite(reading) && reading == std::trunc(reading) && std::fabs(reading) < 1e15
        && numericReading(text) != reading) {
        std::fprintf(stderr, "fuzz_numbers: %s does not read back\n", qPrintable(text));
        std::abort();
    }
    return 0;
}
