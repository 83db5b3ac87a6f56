#include "nozzle/nozzle_export.h"

#include <locale>
#include <sstream>

namespace {

class CsvWriter {
public:
    CsvWriter(char separator, int digits) : sep_(separator)
    {
        out_.imbue(std::locale::classic());
        out_.precision(digits);
    }
    void line(const std::string& text) { out_ << text << '\n'; }
    void cell(const std::string& text) { out_ << sep_ << text; }
    void cells(const std::vector<double>& values)
    {
        for (double v : values)
            out_ << sep_ << v;
    }
    void row(const std::string& label, const std::vector<double>& values, bool newline = true)
    {
        cell(label);
        cells(values);
        if (newline)
            out_ << '\n';
    }
    std::string text() const { return out_.str(); }

private:
    std::ostringstream out_;
    char sep_;
};

bool option(const std::vector<bool>& options, std::size_t k)
{
    return k < options.size() && options[k];
}

} // namespace

std::string nozzleCsv(const NozzleCsvData& d, uint32_t mask, char separator, int digits)
{
    CsvWriter w(separator, digits);
    w.line("");
    w.line(d.name);
    if (mask & nozzleExport::parameters) {
        const bool conical = d.parameters.size() == 7;
        const char* convergent = option(d.options, 0) ? "Convergent length" : "Convergent angle";
        std::vector<const char*> header;
        if (conical) {
            header = {"Entrance diameter",
                      "Throat diameter",
                      "Exit diameter",
                      convergent,
                      option(d.options, 1) ? "Divergent length" : "Divergent angle",
                      "Entrance/exit fillet radius",
                      "Throat fillet radius"};
        } else {
            header = {"Entrance diameter",
                      "Throat diameter",
                      "Exit diameter",
                      convergent,
                      "Divergent length",
                      "Fillet entrance radius",
                      "Fillet convergent throat radius",
                      "Fillet divergent throat radius",
                      "Parabola initial angle",
                      "Parabola final angle"};
        }
        for (const char* h : header)
            w.cell(h);
        w.line("");
        w.cells(d.parameters);
        w.line("");
        w.line("");
    }
    if (mask & nozzleExport::coordinates) {
        w.row("Coordinate x:", d.x);
        w.row("Coordinate R:", d.R);
    }
    if (mask & nozzleExport::areas) {
        if (!(mask & nozzleExport::coordinates))
            w.row("Coordinate x:", d.x);
        w.row("Areas:", d.A, false);
    }
    return w.text();
}

void fitImageRanges(AxisSpan& x, AxisSpan& y, int width, int height, int display, double throatRadius)
{
    const double W = width, H = height;
    if (y.size() * W / H > x.size()) {
        const double span = y.size() * W / H;
        const double centre = (x.lower + x.upper) / 2;
        x = {centre - span / 2, centre + span / 2};
        return;
    }
    const double e = x.size() * H / W;
    if (display == 1)
        y = {0.0, e};
    else if (display == 2)
        y = {-e / 2, e / 2};
    else
        y = {throatRadius, throatRadius + e};
}
