#pragma once
// The nozzle export's text and the fit of the contour plot to an image.
#include <cstdint>
#include <string>
#include <vector>

// Bits of the export choice (the export dialog in its nozzle mode).
namespace nozzleExport {
constexpr uint32_t parameters = 0x02; // parameter block
constexpr uint32_t coordinates = 0x04; // x and R rows
constexpr uint32_t areas = 0x08; // x (unless already written) and area rows
constexpr uint32_t image = 0x10; // PNG of the contour plot
} // namespace nozzleExport

struct NozzleCsvData {
    std::string name; // the nozzle's name, UTF-8
    std::vector<double> parameters; // 7 conical, 10 Bezier
    std::vector<bool> options;
    std::vector<double> x, R, A;
};

// The CSV text: an empty line, the name, then the rows the mask selects. Every cell of
// a data row is preceded by `separator`; numbers in the general notation with `digits`
// significant digits and "." as decimal point. The last line ("Areas:") has no newline.
std::string nozzleCsv(const NozzleCsvData& data, uint32_t mask, char separator, int digits);

struct AxisSpan {
    double lower = 0.0;
    double upper = 0.0;
    double size() const { return upper - lower; }
};

// The axis ranges of the exported image, from the ranges that fit the data: one unit
// of x and one of y take the same number of pixels in a width x height image. Either x
// is widened about its centre, or y gets the span the x range needs, starting at 0
// (display 1, curve and axis), centred on the axis (display 2, full nozzle) or starting
// at the throat radius (otherwise).
void fitImageRanges(AxisSpan& x, AxisSpan& y, int width, int height, int display, double throatRadius);
