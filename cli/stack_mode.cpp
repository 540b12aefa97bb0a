// SPDX-License-Identifier: MIT
#include "stack_mode.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "cli/energy_input.h"
#include "cli/safe_text.h"
#include "data/calculator.h"
#include "data/stack.h"

namespace quenrow::cli {

namespace {

constexpr int kAllAnswered = 0;
constexpr int kSomeUnanswered = 1;
constexpr int kRefused = 2;

void complain(const std::string &message)
{
    std::fprintf(stderr, "quenrow-lookup: %s\n", showable(message).c_str());
}

// The layers of the stack file, then those of --layer, with their materials
// read once each; the message when one cannot be had.
std::variant<std::vector<Layer>, std::string> stackLayers(const StackOptions &options,
                                                          const MaterialFinder &findMaterial)
{
    std::vector<WrittenLayer> written;
    if (!options.stackFile.empty()) {
        auto read = readStackFile(options.stackFile);
        if (auto *why = std::get_if<std::string>(&read))
            return *why;
        written = std::get<std::vector<WrittenLayer>>(std::move(read));
    }
    for (const std::string &text : options.layers) {
        auto entry = readLayerOption(text);
        if (!entry)
            return "--layer \"" + text +
                   "\" is not MATERIAL:THICKNESS[:DENSITY], with the thickness's unit um, mm, cm "
                   "or g/cm2 (013-Aluminum.ps:5mm, Polymethyl_methacrylate.psp:2cm:1.18).";
        written.push_back(std::move(*entry));
    }
    if (written.empty())
        return "The stack has no layers.";

    std::map<std::filesystem::path, LayerMaterial> loaded;
    std::vector<Layer> layers;
    for (const WrittenLayer &entry : written) {
        const auto file = findMaterial(entry.material);
        if (const auto *why = std::get_if<std::string>(&file))
            return *why;
        const auto &path = std::get<std::filesystem::path>(file);
        LayerMaterial &material = loaded[path];
        if (!material) {
            auto read = loadLayerMaterial(path);
            if (auto *why = std::get_if<std::string>(&read))
                return *why;
            material = std::get<LayerMaterial>(read);
        }
        layers.push_back({material, path.filename().string(), entry.thickness,
                          entry.density.value_or(fileDensity(material))});
    }
    return layers;
}

// Where a value came from, for messages: "line 3", "energy 2".
struct Where {
    const char *kind;
    long number;
};

class StackRun {
public:
    StackRun(const StackOptions &options, Format format, std::vector<Layer> layers,
             StackWater water, OutputSink &sink)
        : options_(options), format_(format), layers_(std::move(layers)), water_(std::move(water)),
          out_(sink, format, columns())
    {}

    void value(Where where, std::string_view text)
    {
        const auto value = readPlainNumber(text);
        if (!value)
            return refuse(where, quotedToken(text) + " is not a number.");
        double energyIn = *value;
        if (options_.energyOut || options_.waterDepth) {
            double energyOut = *value;
            if (options_.waterDepth) {
                const auto reached = energyForWaterDepth(water_, *value);
                if (const auto *error = std::get_if<StackError>(&reached))
                    return refuse(where, error->message);
                energyOut = std::get<double>(reached);
            }
            const auto needed = energyNeededFor(layers_, energyOut);
            if (const auto *error = std::get_if<StackError>(&needed))
                return refuse(where, error->message);
            energyIn = std::get<double>(needed);
        }
        const auto result = throughStack(layers_, water_, energyIn);
        if (const auto *error = std::get_if<StackError>(&result))
            return refuse(where, error->message);
        write(*value, std::get<StackResult>(result));
    }

    int finish()
    {
        out_.finish();
        return status_;
    }

private:
    std::vector<Column> columns() const
    {
        std::vector<Column> columns;
        if (options_.energyOut)
            columns.push_back({"energy_out_wanted_MeV", "Wanted out", "MeV"});
        if (options_.waterDepth)
            columns.push_back({"water_depth_wanted_cm", "Water depth", "cm"});
        columns.push_back({"beam_MeV", "Beam", "MeV"});
        columns.push_back({"layer", "Layer", ""});
        std::size_t width = 0;
        for (const Layer &layer : layers_)
            width = std::max(width, layer.name.size());
        columns.push_back({"material", "Material", "", true, width});
        for (const LayerQuantityInfo &quantity : layerQuantities())
            columns.push_back({quantity.key, quantity.heading, quantity.unit});
        // As in a lookup: an input that cannot be answered keeps a row, with
        // the reason last; text leaves it to standard error.
        if (format_ != Format::Text)
            columns.push_back({"reason", "", "", true});
        return columns;
    }

    void write(double asked, const StackResult &result)
    {
        for (std::size_t i = 0; i < layers_.size(); ++i) {
            cells_.clear();
            if (options_.energyOut || options_.waterDepth)
                cells_.emplace_back(std::in_place_type<double>, asked);
            cells_.emplace_back(std::in_place_type<double>, result.energyIn);
            cells_.emplace_back(std::in_place_type<std::string>, std::to_string(i + 1));
            cells_.emplace_back(std::in_place_type<std::string>, layers_[i].name);
            // Nothing for the layers behind the one the beam stops in.
            for (const LayerQuantityInfo &quantity : layerQuantities()) {
                const auto value = i < result.layers.size()
                                       ? valueOf(result.layers[i], quantity.quantity)
                                       : std::nullopt;
                if (value)
                    cells_.emplace_back(std::in_place_type<double>, *value);
                else
                    cells_.emplace_back(std::monostate{});
            }
            if (format_ != Format::Text)
                cells_.emplace_back(std::monostate{});
            out_.row(cells_);
        }
    }

    void refuse(Where where, const std::string &message)
    {
        // Appended piece by piece: g++ 12 warns falsely (-Wrestrict) on the chained +.
        std::string text = where.kind;
        text.append(" ").append(std::to_string(where.number)).append(": ").append(message);
        complain(text);
        status_ = std::max(status_, kSomeUnanswered);
        out_.unansweredRow(message);
    }

    const StackOptions &options_;
    Format format_;
    std::vector<Layer> layers_;
    StackWater water_;
    TableWriter out_;
    std::vector<Cell> cells_;
    int status_ = kAllAnswered;
};

void readStandardInput(StackRun &run)
{
    forEachToken(stdin, [&run](long line, std::string_view token) {
        run.value({"line", line}, token);
        return true;
    });
}

} // namespace

int runStack(const StackOptions &options, Format format, const std::vector<std::string> &values,
             const MaterialFinder &findMaterial,
             const std::variant<std::filesystem::path, std::string> &dataDirectory,
             OutputSink &sink)
{
    const auto *folder = std::get_if<std::filesystem::path>(&dataDirectory);
    if (!folder) {
        complain(
            std::get<std::string>(dataDirectory) +
            " Liquid water, the reference of the water-equivalent thicknesses, is read from it.");
        return kRefused;
    }
    auto water = loadLayerMaterial(materialPath(*folder, kWaterFileName));
    if (const auto *why = std::get_if<std::string>(&water)) {
        complain(*why + " Liquid water is the reference of the water-equivalent thicknesses.");
        return kRefused;
    }
    auto layers = stackLayers(options, findMaterial);
    if (const auto *why = std::get_if<std::string>(&layers)) {
        complain(*why);
        return kRefused;
    }

    StackRun run(options, format, std::get<std::vector<Layer>>(std::move(layers)),
                 StackWater{std::get<LayerMaterial>(water)}, sink);
    if (values.empty())
        readStandardInput(run);
    for (std::size_t i = 0; i < values.size(); ++i)
        run.value({options.waterDepth ? "depth" : "energy", long(i + 1)}, values[i]);
    return run.finish();
}

} // namespace quenrow::cli
