// SPDX-License-Identifier: MIT
// The full two-pass load of any file, and what a loaded table must allow:
// the preview agrees with it, and the plot and the lookups stay finite.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>
#include <variant>
#include <vector>

#include "data/lookup.h"
#include "data/material.h"
#include "data/plot_geometry.h"
#include "fuzz_support.h"
#include "read_checks.h"
#include "ui/plot/draw_plot.h"

namespace {

using namespace quenrow;

bool finite(float a, float b)
{
    return std::isfinite(a) && std::isfinite(b);
}

// Accepts only finite coordinates: what a painter can be given.
class CheckingSurface final : public PlotSurface {
public:
    void clear() override {}
    void setPenWidth(int) override {}
    void line(float x1, float y1, float x2, float y2, int) override
    {
        FUZZ_CHECK(finite(x1, y1) && finite(x2, y2));
    }
    void lineTo(float x, float y, int) override { FUZZ_CHECK(finite(x, y)); }
    void point(float x, float y) override { FUZZ_CHECK(finite(x, y)); }
    void rectangle(float x1, float y1, float x2, float y2, int) override
    {
        FUZZ_CHECK(finite(x1, y1) && finite(x2, y2));
    }
    void filledRectangle(float x1, float y1, float x2, float y2, int) override
    {
        FUZZ_CHECK(finite(x1, y1) && finite(x2, y2));
    }
    void setCurrentPosition(float x, float y) override { FUZZ_CHECK(finite(x, y)); }
    void setFontSize(double) override {}
    void print(std::string_view, bool) override {}
};

// Row k's text is the start of the line its values came from: each field
// that stands whole in it reads as the value the table holds.
void checkRowsAreTheirLines(const MaterialTable &t)
{
    const auto separator = [](char c) { return c == ' ' || c == '\t' || c == ','; };
    for (int k = 1; k <= kRowCount; ++k) {
        const std::string_view text = t.rowText[k];
        const double values[] = {t.energy[k], t.stoppingPower[1][k], t.stoppingPower[2][k],
                                 t.stoppingPower[3][k]};
        std::size_t at = 0;
        for (double value : values) {
            while (at < text.size() && separator(text[at]))
                ++at;
            std::size_t end = at;
            while (end < text.size() && !separator(text[end]))
                ++end;
            // A field cut by the 59-character limit is not whole.
            if (end == at || (end == text.size() && text.size() >= kRowTextWidth))
                break;
            std::string_view field = text.substr(at, end - at);
            if (field.front() == '+')
                field.remove_prefix(1);
            double read = 0;
            const auto [ptr, ec] = std::from_chars(field.data(), field.data() + field.size(), read);
            FUZZ_CHECK(ec == std::errc() && ptr == field.data() + field.size() && read == value);
            at = end;
        }
    }
}

void checkTable(const Material &loaded, const std::string &path)
{
    const MaterialTable &t = loaded.table;
    FUZZ_CHECK(std::isfinite(loaded.density));
    FUZZ_CHECK(t.name.size() <= kMaxLineLength);
    FUZZ_CHECK(!checkMaterial(t, 1, path));
    for (int k = 1; k <= kRowCount; ++k) {
        FUZZ_CHECK(std::isfinite(t.energy[k]) && t.energy[k] > 0);
        for (int c = 1; c <= 3; ++c)
            FUZZ_CHECK(std::isfinite(t.stoppingPower[c][k]) && t.stoppingPower[c][k] > 0);
        // A range is a finite number, or NaN where the file's field was not one.
        FUZZ_CHECK(!std::isinf(t.range[1][k]) && !std::isinf(t.range[2][k]) &&
                   !std::isinf(t.detourFactor[k]));
        FUZZ_CHECK(t.rowText[k].size() <= kRowTextWidth);
        FUZZ_CHECK(t.rowText[k].find_first_of("\r\n") == std::string::npos);
    }

    // A column is usable exactly when every value in it is a positive number.
    const auto usable = [&t](const std::array<double, kRowCount + 1> &column) {
        return std::all_of(column.begin() + 1, column.end(),
                           [](double v) { return v > 0 && std::isfinite(v); });
    };
    FUZZ_CHECK(usable(t.range[1]) == !loaded.csdaRange);
    FUZZ_CHECK(usable(t.range[2]) == !loaded.projectedRange);
    FUZZ_CHECK(usable(t.detourFactor) == !loaded.detourFactor);

    checkRowsAreTheirLines(t);

    CheckingSurface surface;
    drawPlotImage(surface, t);

    std::vector<double> energies(t.energy.begin() + 1, t.energy.end());
    for (double e = kLowestEnergy; e <= kHighestEnergy; e *= 1.5)
        energies.push_back(e);
    energies.push_back(kHighestEnergy);
    for (double e : energies) {
        const auto total = interpolateTotal(loaded, e);
        if (!total)
            continue;
        FUZZ_CHECK(!std::isnan(*total));
        // Inside the table the result lies between the rows around it.
        if (e >= t.energy[1]) {
            const int i = *bracketingRow(t, e);
            const double low = std::min(t.totalStoppingPower(i - 1), t.totalStoppingPower(i));
            const double high = std::max(t.totalStoppingPower(i - 1), t.totalStoppingPower(i));
            FUZZ_CHECK(*total >= low * (1 - 1e-9) && *total <= high * (1 + 1e-9));
        }
    }
    for (float x = -2; x <= 18; x += 0.5f) {
        const int row = nearestRow(t, x);
        FUZZ_CHECK(row >= 1 && row <= kRowCount);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static fuzz::InputFile file;
    const std::string &path = file.write(fuzz::fileBytes(data, size));
    const auto loaded = loadMaterial(path);
    const auto header = readMaterialHeader(path);
    if (const auto *error = std::get_if<ReadError>(&loaded)) {
        fuzz::checkError(*error, path);
        // A head the preview refuses, the load refuses alike.
        if (const auto *headerError = std::get_if<ReadError>(&header))
            FUZZ_CHECK(fuzz::sameError(*error, *headerError));
        return 0;
    }
    const auto &material = (*std::get<MaterialPtr>(loaded));
    FUZZ_CHECK(std::holds_alternative<MaterialHeader>(header));
    FUZZ_CHECK(std::get<MaterialHeader>(header).name == material.table.name);
    FUZZ_CHECK(std::get<MaterialHeader>(header).density == material.density);
    checkTable(material, path);
    return 0;
}
