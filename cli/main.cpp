// SPDX-License-Identifier: MIT
// quenrow-lookup: the tables and lookups of Quenrow from the command line.
// Exit status: 0 every answer given; 1 some input out of range, not a number
// or a value unavailable; 2 usage, data folder or data file refused.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/energy_input.h"
#include "cli/materials.h"
#include "cli/output.h"
#include "cli/output_sink.h"
#include "cli/safe_text.h"
#include "cli/stack_mode.h"
#include "data/calculator.h"
#include "data/compare.h"
#include "data/number_format.h"
#include "data/data_directory.h"
#include "data/material_directory.h"
#include "data/material.h"
#include "data/number_reader.h"
#include "data/quantity.h"

namespace fs = std::filesystem;
using namespace quenrow;
using quenrow::cli::Cell;
using quenrow::cli::Column;
using quenrow::cli::Format;
using quenrow::cli::TableWriter;

namespace {

constexpr int kAllAnswered = 0;
constexpr int kSomeUnanswered = 1;
constexpr int kRefused = 2;

constexpr Quantity kStoppingPowers[] = {Quantity::ElectronicStoppingPower,
                                        Quantity::NuclearStoppingPower,
                                        Quantity::TotalStoppingPower};
constexpr Quantity kRanges[] = {Quantity::CsdaRange, Quantity::ProjectedRange};

struct Options {
    std::string material;
    std::vector<std::string> energies;
    std::vector<std::string> ranges;
    bool projected = false;
    bool linear = false;
    bool relativeToWater = false;
    std::string relativeTo; // a material, found as MATERIAL is
    bool list = false;
    bool table = false;
    Format format = Format::Text;
    int digits = 0;
    fs::path data;
    quenrow::cli::StackOptions stack;
};

// Each line shown safely: what a message quotes from outside cannot move
// the cursor, retitle the terminal or cut the message short.
void complain(std::string_view message)
{
    std::string text = "quenrow-lookup: ";
    for (std::size_t start = 0;;) {
        const std::size_t end = std::min(message.find('\n', start), message.size());
        text += cli::showable(message.substr(start, end - start)) + '\n';
        if (end == message.size())
            break;
        start = end + 1;
    }
    std::fwrite(text.data(), 1, text.size(), stderr);
}

std::string trimmed(const std::string &text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The data folder: --data (checked when parsed), else ./quenrow-data, else
// the installed copy.
std::variant<fs::path, std::string> dataDirectory(const Options &options)
{
    if (options.data.empty())
        return findDataDirectory();
    return options.data;
}

std::string existingFolder(const std::string &folder)
{
    std::error_code error;
    if (!fs::is_directory(folder, error))
        return "The data folder \"" + cli::showable(folder) + "\" does not exist.";
    return {};
}

int listMaterials(const Options &options, const cli::DataFolder &directory, cli::OutputSink &sink)
{
    const auto *folder = std::get_if<fs::path>(&directory);
    if (!folder) {
        complain(std::get<std::string>(directory));
        return kRefused;
    }
    const auto listing = cli::materialFiles(*folder);
    if (const auto *problem = std::get_if<std::string>(&listing)) {
        complain(*problem);
        return kRefused;
    }
    const auto &files = std::get<std::vector<std::string>>(listing);
    int status = kAllAnswered;
    std::vector<std::pair<std::string, MaterialHeader>> materials;
    std::size_t fileWidth = 0, nameWidth = 0;
    for (const std::string &fileName : files) {
        auto header = readMaterialHeader(materialPath(*folder, fileName));
        if (const auto *error = std::get_if<ReadError>(&header)) {
            complain(cli::showable(describe(*error)));
            status = kRefused;
            continue;
        }
        auto &material = std::get<MaterialHeader>(header);
        material.name = trimmed(material.name);
        fileWidth = std::max(fileWidth, cli::showable(fileName).size());
        nameWidth = std::max(nameWidth, cli::showable(material.name).size());
        materials.emplace_back(fileName, std::move(material));
    }
    TableWriter out(sink, options.format,
                    {{"file", "File", "", true, fileWidth},
                     {"name", "Name", "", true, nameWidth},
                     {"density_g_per_cm3", "Density", "g/cm3"}},
                    options.digits);
    for (const auto &[fileName, material] : materials)
        out.row({fileName, material.name, material.density});
    out.finish();
    return status;
}

// The quantities' columns; with --linear the stopping powers in both linear
// units, then the ranges in the first.
std::vector<Column> lookupColumns(const Options &options)
{
    const auto column = [](const QuantityInfo &q) {
        // A plain number's text column reads "Detour" over "factor".
        return Column{q.key, q.narrowHeading, *q.unit ? q.unit : "factor"};
    };
    const auto linear = [](const QuantityInfo &q, int unit) {
        const LinearUnit &u = (*q.linear)[unit];
        return Column{u.key, q.narrowHeading, u.unit};
    };
    std::vector<Column> columns = {column(quantityInfo(Quantity::Energy))};
    if (options.linear) {
        for (int unit : {0, 1})
            for (Quantity q : kStoppingPowers)
                columns.push_back(linear(quantityInfo(q), unit));
        for (Quantity q : kRanges)
            columns.push_back(linear(quantityInfo(q), 0));
    } else {
        for (Quantity q : kStoppingPowers)
            columns.push_back(column(quantityInfo(q)));
        for (Quantity q : kRanges)
            columns.push_back(column(quantityInfo(q)));
    }
    columns.push_back(column(quantityInfo(Quantity::DetourFactor)));
    if (options.relativeToWater)
        columns.push_back({"ratio_to_water", "Ratio to", "water"});
    else if (!options.relativeTo.empty())
        columns.push_back({"ratio_to_reference", "Ratio to", "ref."});
    // A line that cannot be answered keeps its row, so that a script can
    // zip its input with the output; text leaves it to standard error.
    if (options.format != Format::Text)
        columns.push_back({"reason", "", "", true});
    return columns;
}

Cell optionalCell(const std::optional<double> &value)
{
    if (value)
        return *value;
    return std::monostate{};
}

// Where an input came from, for messages: "line 3", "energy 2", "--range 1".
struct Where {
    const char *kind;
    long number;

    std::string text() const { return kind + (" " + std::to_string(number)); }
};

// Everything a run needs to turn an input into a line.
class Lookup {
public:
    Lookup(const Options &options, MaterialPtr material, WaterReference water,
           cli::OutputSink &sink, MaterialPtr reference = nullptr)
        : options_(options), material_(std::move(material)), file_(cli::showable(material_->path)),
          water_(std::move(water)), reference_(std::move(reference)),
          out_(sink, options.format, lookupColumns(options), options.digits), sink_(sink)
    {
        cells_.reserve(12);
        for (const ColumnProblem *problem :
             {&material_->csdaRange, &material_->projectedRange, &material_->detourFactor})
            if (*problem)
                note("\"" + file_ + "\": " + **problem + " Its column is left empty.");
        if (options.relativeToWater)
            if (const auto *reason = std::get_if<std::string>(&water_))
                note(*reason);
    }

    void energy(Where where, std::string_view text)
    {
        const auto value = readNumber(text);
        if (!value)
            return unanswered(where, cli::quotedToken(text) + " is not a number.");
        answer(where, interpolateRow(*material_, *value));
    }

    void range(Where where, std::string_view text)
    {
        auto value = readNumber(text);
        if (!value)
            return unanswered(where, cli::quotedToken(text) + " is not a number.");
        if (options_.linear) {
            const auto mass = massRange(*value, material_->density);
            if (const auto *reason = std::get_if<std::string>(&mass))
                return unanswered(where, *reason);
            value = std::get<double>(mass);
        }
        answer(where, energyForRange(
                          *material_,
                          options_.projected ? RangeColumn::Projected : RangeColumn::Csda, *value));
    }

    void tableRows()
    {
        for (int k = 1; k <= kRowCount && !stopped(); ++k)
            answer({"row", k}, interpolateRow(*material_, material_->table.energy[k]));
    }

    // The output failed or its reader left: nothing more to compute.
    bool stopped() const { return sink_.stopped(); }

    int finish()
    {
        out_.finish();
        return status_;
    }

private:
    void note(const std::string &message)
    {
        complain(message);
        status_ = std::max(status_, kSomeUnanswered);
    }

    void refuse(Where where, const std::string &message)
    {
        complain(where.text() + ": " + message);
        status_ = std::max(status_, kSomeUnanswered);
    }

    void unanswered(Where where, const std::string &reason)
    {
        refuse(where, reason);
        out_.unansweredRow(reason);
    }

    void answer(Where where, const std::variant<RowValues, LookupError> &result)
    {
        if (const auto *error = std::get_if<LookupError>(&result)) {
            if (error->cause == LookupFailure::OutOfRange)
                return unanswered(where, error->message);
            // The file's range column cannot be inverted: the same for every value.
            const std::string reason = "\"" + file_ + "\": " + error->message;
            if (!columnRefused_)
                complain(reason);
            columnRefused_ = true;
            status_ = kRefused;
            return out_.unansweredRow(reason);
        }
        const RowValues &row = std::get<RowValues>(result);
        cells_.clear();
        cells_.push_back(row.energy);
        if (options_.linear) {
            const auto converted = toLinear(row, material_->density);
            if (const auto *reason = std::get_if<std::string>(&converted))
                return unanswered(where, *reason);
            const auto &linear = std::get<LinearValues>(converted);
            for (double scale : {1.0, kKeVPerUmPerMeVPerCm}) {
                cells_.push_back(linear.electronic * scale);
                cells_.push_back(linear.nuclear * scale);
                cells_.push_back(linear.total * scale);
            }
            cells_.push_back(optionalCell(linear.csdaRange));
            cells_.push_back(optionalCell(linear.projectedRange));
        } else {
            for (Quantity q : kStoppingPowers)
                cells_.push_back(optionalCell(valueOf(row, q)));
            for (Quantity q : kRanges)
                cells_.push_back(optionalCell(valueOf(row, q)));
        }
        cells_.push_back(optionalCell(row.detourFactor));
        std::string reason;
        if (options_.relativeToWater) {
            const auto ratio = ratioToWater(row, material_->density, water_);
            if (const double *value = std::get_if<double>(&ratio)) {
                cells_.push_back(*value);
            } else {
                cells_.push_back(std::monostate{});
                if (std::holds_alternative<MaterialPtr>(water_)) {
                    reason = std::get<std::string>(ratio);
                    refuse(where, reason);
                }
            }
        } else if (reference_) {
            reason = addRatioToReference(where, row.energy);
        }
        if (options_.format != Format::Text)
            cells_.push_back(reason.empty() ? Cell(std::monostate{}) : Cell(reason));
        out_.row(cells_);
    }

    // --relative-to: the total linear stopping power over the reference's,
    // as the compare window shows it.
    // Why there is none, for the row's last column.
    std::string addRatioToReference(Where where, double energy)
    {
        constexpr CompareChoice kRelativeStoppingPower{Quantity::TotalStoppingPower,
                                                       UnitSystem::Linear};
        if (const auto ratio = shownAt(material_, reference_, kRelativeStoppingPower, energy)) {
            cells_.push_back(*ratio);
            return {};
        }
        cells_.push_back(std::monostate{});
        std::string reason = "There is no ratio to " + reference_->name() + " at " +
                             formatGeneral(energy) + " MeV: ";
        std::optional<std::string> problem;
        for (const MaterialPtr *m : {&material_, &reference_})
            if (!problem)
                problem = unavailableReason(*m, kRelativeStoppingPower);
        reason += problem ? *problem : "it lies outside the reference's table.";
        refuse(where, reason);
        return reason;
    }

    const Options &options_;
    MaterialPtr material_;
    std::string file_;
    WaterReference water_;
    MaterialPtr reference_;
    TableWriter out_;
    cli::OutputSink &sink_;
    std::vector<Cell> cells_;
    int status_ = kAllAnswered;
    bool columnRefused_ = false;
};

// --format's names to Format, with the help and message of a list of names.
CLI::Validator formatNames()
{
    static const std::map<std::string, Format> kFormats = {
        {"text", Format::Text}, {"csv", Format::Csv}, {"tsv", Format::Tsv}, {"json", Format::Json}};
    constexpr const char *kNames = "{text,csv,tsv,json}";
    return CLI::Validator(
        [kNames](std::string &name) -> std::string {
            const auto found = kFormats.find(name);
            if (found == kFormats.end())
                return name + " not in " + kNames;
            name = std::to_string(static_cast<int>(found->second));
            return {};
        },
        kNames);
}

// Whitespace-separated energies from standard input, each with its line.
void readStandardInput(Lookup &lookup)
{
    cli::forEachToken(stdin, [&lookup](long line, std::string_view token) {
        lookup.energy({"line", line}, token);
        return !lookup.stopped();
    });
}

// --relative-to's material, found as MATERIAL is; why not, as one sentence.
std::variant<MaterialPtr, std::string>
loadReference(const std::string &query, const std::variant<fs::path, std::string> &directory)
{
    const auto file = cli::resolveMaterial(query, directory);
    if (const auto *message = std::get_if<std::string>(&file))
        return "--relative-to: " + *message;
    return loadCompared(std::get<fs::path>(file));
}

// Everything that answers for one material.
int lookUp(const Options &options, const cli::DataFolder &directory, cli::OutputSink &sink)
{
    const auto file = cli::resolveMaterial(options.material, directory);
    if (const auto *message = std::get_if<std::string>(&file)) {
        complain(*message);
        return kRefused;
    }
    auto loaded = loadMaterial(std::get<fs::path>(file));
    if (const auto *error = std::get_if<ReadError>(&loaded)) {
        complain(cli::showable(describe(*error)));
        return kRefused;
    }
    auto material = std::get<MaterialPtr>(std::move(loaded));
    if (options.linear)
        if (auto problem = linearUnitsProblem(material->density)) {
            complain("\"" + cli::showable(material->path) + "\": " + *problem);
            return kRefused;
        }
    WaterReference water = std::string();
    if (options.relativeToWater) {
        if (const auto *folder = std::get_if<fs::path>(&directory))
            water = loadWater(*folder);
        else
            water = std::get<std::string>(directory) + " There is no ratio to water.";
    }

    MaterialPtr reference;
    if (!options.relativeTo.empty()) {
        auto found = loadReference(options.relativeTo, directory);
        if (const auto *message = std::get_if<std::string>(&found)) {
            complain(*message);
            return kRefused;
        }
        reference = std::get<MaterialPtr>(std::move(found));
    }

    Lookup lookup(options, std::move(material), std::move(water), sink, std::move(reference));
    if (options.table) {
        lookup.tableRows();
    } else if (options.energies.empty() && options.ranges.empty()) {
        readStandardInput(lookup);
    } else {
        for (std::size_t i = 0; i < options.energies.size() && !lookup.stopped(); ++i) {
            if (options.energies[i] == "-")
                readStandardInput(lookup);
            else
                lookup.energy({"energy", long(i + 1)}, options.energies[i]);
        }
        for (std::size_t i = 0; i < options.ranges.size() && !lookup.stopped(); ++i)
            lookup.range({"--range", long(i + 1)}, options.ranges[i]);
    }
    return lookup.finish();
}

int usageError(const std::string &message)
{
    complain(message);
    std::fprintf(stderr, "Run with --help for more information.\n");
    return kRefused;
}

// "quenrow-lookup 150 Water_liquid.psp" would take A-150 plastic, whose name
// holds "150", as the material.
std::optional<std::string> swappedArguments(const Options &options,
                                            const cli::DataFolder &directory)
{
    if (options.list || !readNumber(options.material))
        return std::nullopt;
    for (const std::string &energy : options.energies)
        if (cli::namesMaterialExactly(energy, directory))
            return cli::quotedToken(options.material) + " is a number and " +
                   cli::quotedToken(energy) + " a material: the material comes first (" +
                   "quenrow-lookup " + cli::showable(energy) + " " +
                   cli::showable(options.material) + ").";
    return std::nullopt;
}

// Every byte written, or exit status 2 with the reason; a reader that left
// early is no error.
int finishOutput(cli::OutputSink &sink, int status)
{
    sink.close();
    if (const auto problem = sink.problem()) {
        complain(*problem);
        return kRefused;
    }
    return status;
}

// The command line into `options`; the exit status when that is all there is
// to do (help, version, a usage error).
std::optional<int> parse(int argc, char **argv, Options &options)
{
    CLI::App app{"Proton stopping powers and ranges from the NIST tables, looked up from the "
                 "command line.\nEach energy (MeV) gives a line with the electronic, nuclear "
                 "and total stopping power,\nthe CSDA and projected range and the detour "
                 "factor, log-log interpolated between\nthe table's rows. With no ENERGY and "
                 "no --range, energies are read from standard\ninput, as they are where an "
                 "ENERGY is \"-\". The tables carry four significant figures.",
                 "quenrow-lookup"};
    app.footer("Examples:\n"
               "  quenrow-lookup Water_liquid.psp 150\n"
               "  quenrow-lookup lead 10 100 --linear --format csv\n"
               "  quenrow-lookup \"water, liquid\" --range 15.77 --relative-to-water\n"
               "  quenrow-lookup Polymethyl_methacrylate.psp --range 2 --linear\n"
               "  seq 1 250 | quenrow-lookup Water_liquid.psp --format json\n"
               "  quenrow-lookup Water_liquid.psp --table --format csv --digits 4\n"
               "  quenrow-lookup --list\n"
               "  quenrow-lookup --layer 013-Aluminum.ps:5mm --layer "
               "Polymethyl_methacrylate.psp:2cm:1.18 \\\n"
               "                 --layer Water_liquid.psp:10cm 150\n"
               "  quenrow-lookup --stack shifter.stack --water-depth 12 --format csv\n\n"
               "Stacks follow the continuous-slowing-down approximation: no range straggling, no\n"
               "nuclear losses of protons, no multiple-scattering path effects.\n\n"
               "In csv, tsv and json an input that cannot be answered keeps its row, with\n"
               "empty fields (null) and the reason in the last column.\n\n"
               "Exit status: 0 when every answer was given, 1 when an input was out of range\n"
               "or not a number (the other lines are still answered), 2 for a usage error,\n"
               "a data folder or file that cannot be read, or output that cannot be written.");
    app.set_version_flag("-V,--version", std::string("quenrow-lookup ") + QUENROW_VERSION);
    app.add_option("MATERIAL", options.material,
                   "A file name (Water_liquid.psp), a path to a file in the same format, or a "
                   "part of the material's name (\"lead\", \"water, liquid\")");
    app.add_option("ENERGY", options.energies, "Proton kinetic energies in MeV");
    app.add_option("--range", options.ranges,
                   "The energy whose CSDA range is VALUE (g/cm2; cm with --linear); repeatable")
        ->type_name("VALUE")
        ->allow_extra_args(false);
    app.add_flag("--projected", options.projected, "--range is the projected range");
    app.add_flag("--linear", options.linear,
                 "Linear units from the density: MeV/cm and keV/um, cm");
    auto *water = app.add_flag("--relative-to-water", options.relativeToWater,
                               "Add the total linear stopping power over liquid water's");
    app.add_option("--relative-to", options.relativeTo,
                   "Add the total linear stopping power over MATERIAL's (a file, path or part "
                   "of a name, as above)")
        ->type_name("MATERIAL")
        ->excludes(water);
    app.add_flag("--list", options.list, "List the materials of the data folder");
    app.add_flag("--table", options.table, "The material's 132 table rows");
    app.add_option("--format", options.format, "text (default), csv, tsv or json")
        ->transform(formatNames())
        ->type_name("TEXT");
    app.add_option("--digits", options.digits,
                   "Numbers in csv, tsv and json with N significant digits (the tables carry "
                   "four); by default each reads back as the same double")
        ->type_name("N")
        ->check(CLI::Range(1, 17));
    app.add_option("--data", options.data,
                   "The data folder (default: ./quenrow-data, else the installed one)")
        ->type_name("DIR")
        ->check(existingFolder, "");
    app.add_option(
           "--layer", options.stack.layers,
           "A layer of a stack, from the beam's side (repeatable): MATERIAL:THICKNESS[:DENSITY], "
           "the thickness in um, mm, cm or g/cm2, the density in g/cm3 when not the file's. "
           "Each ENERGY gives a row per layer: energy in, out, lost, water-equivalent "
           "thickness, range left in water, and where the beam stops")
        ->type_name("LAYER")
        ->allow_extra_args(false);
    app.add_option(
           "--stack", options.stack.stackFile,
           "The layers of a stack file as the window saves it (one `material thickness unit "
           "[density]` a line), before any --layer")
        ->type_name("FILE");
    app.add_flag(
        "--energy-out", options.stack.energyOut,
        "With a stack: each value is the energy wanted out of it; the rows show the energy "
        "needed going in");
    app.add_flag("--water-depth", options.stack.waterDepth,
                 "With a stack: each value is a depth of water (cm) to reach behind it");
    try {
        app.parse(argc, argv);
        if (options.stack.requested()) {
            // No MATERIAL with a stack: the first word is a value.
            if (!options.material.empty())
                options.energies.insert(options.energies.begin(), options.material);
            options.material.clear();
            if (options.list || options.table || !options.ranges.empty() || options.linear ||
                options.relativeToWater || options.digits > 0)
                throw CLI::ValidationError(
                    "--layer/--stack",
                    "takes no --list, --table, --range, --linear, --relative-to-water or --digits");
            if (options.stack.energyOut && options.stack.waterDepth)
                throw CLI::ValidationError("--energy-out", "and --water-depth exclude each other");
        } else if (options.stack.energyOut || options.stack.waterDepth) {
            throw CLI::ValidationError("--energy-out/--water-depth", "need --layer or --stack");
        }
        if (!options.list && options.material.empty() && !options.stack.requested())
            throw CLI::RequiredError("MATERIAL");
        if (options.projected && options.ranges.empty())
            throw CLI::ValidationError("--projected", "needs --range");
        if (options.table && (!options.energies.empty() || !options.ranges.empty()))
            throw CLI::ValidationError("--table", "takes no ENERGY and no --range");
        if (options.list && (!options.material.empty() || !options.energies.empty() ||
                             !options.ranges.empty() || options.table))
            throw CLI::ValidationError("--list", "takes no MATERIAL, ENERGY, --range or --table");
        if (options.digits > 0 && options.format == Format::Text)
            throw CLI::ValidationError("--digits", "needs --format csv, tsv or json");
    } catch (const CLI::CallForHelp &e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion &e) {
        return app.exit(e);
    } catch (const CLI::ParseError &e) {
        return usageError(e.what());
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char **argv)
{
    cli::OutputSink sink(stdout);
    Options options;
    if (const auto status = parse(argc, argv, options))
        return finishOutput(sink, *status); // help and version write too
    const auto directory = dataDirectory(options);
    if (auto swapped = swappedArguments(options, directory))
        return usageError(*swapped);
    if (options.stack.requested())
        return finishOutput(sink, quenrow::cli::runStack(
                                      options.stack, options.format, options.energies,
                                      [&directory](const std::string &name) {
                                          return cli::resolveMaterial(name, directory);
                                      },
                                      directory, sink));
    return finishOutput(sink, options.list ? listMaterials(options, directory, sink)
                                           : lookUp(options, directory, sink));
}
