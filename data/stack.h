// SPDX-License-Identifier: MIT
// Quenrow: a proton beam through a stack of layers, forwards (the energy out
// of each layer) and backwards (the energy a beam needs), from the CSDA range
// columns alone: a layer of mass thickness m takes R(E_in) - m off the
// residual range, and the energy out is the energy of what is left. No
// iteration and nothing extrapolated; an energy or range outside a table is
// refused with the reason.
//
// The stack file, one layer a line from the beam's side:
//
//     # a range shifter in front of a water phantom
//     013-Aluminum.ps          5 mm
//     Polymethyl_methacrylate.psp 2 cm 1.18
//     Water_liquid.psp         10cm
//
// material (a file of the data folder, or what the command line accepts for
// one), thickness with its unit (um, µm, mm, cm or g/cm2, with or without a
// blank before it), and optionally the density in g/cm3 when it is not the
// file's. `#` starts a comment; blank lines are skipped.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "material.h"
#include "quantity.h"
#include "table_export.h"

namespace quenrow {

// A loaded material, shared by the layers made of it.
using LayerMaterial = MaterialPtr;

// The material of `file`, or the reason it cannot be read, in one sentence.
std::variant<LayerMaterial, std::string> loadLayerMaterial(const std::filesystem::path &file);
double fileDensity(const LayerMaterial &material);

enum class ThicknessUnit { Micrometre, Millimetre, Centimetre, GramPerCm2 };

inline constexpr ThicknessUnit kThicknessUnits[] = {
    ThicknessUnit::Micrometre, ThicknessUnit::Millimetre, ThicknessUnit::Centimetre,
    ThicknessUnit::GramPerCm2};

// "um", "mm", "cm", "g/cm2": as files and the command line write them.
const char *unitText(ThicknessUnit unit);
std::optional<ThicknessUnit> unitNamed(std::string_view text); // also "µm"

struct Thickness {
    double value = 0;
    ThicknessUnit unit = ThicknessUnit::Centimetre;
    bool operator==(const Thickness &) const = default;
};

// "5mm", "2.5 cm", "1e3um", "0.3g/cm2".
std::optional<Thickness> readThickness(std::string_view text);
std::string thicknessText(const Thickness &thickness); // "5 mm"

// A whole token as a finite number (readNumber, refusing a value past the doubles).
std::optional<double> readPlainNumber(std::string_view token);

// A layer as a file or the command line names it, before its material is read.
struct WrittenLayer {
    std::string material;
    Thickness thickness;
    std::optional<double> density; // g/cm3; none: the file's
    bool operator==(const WrittenLayer &) const = default;
};

struct StackFileError {
    int line = 0; // 1-based
    std::string message;
};

// MATERIAL:THICKNESS[:DENSITY] as the command line's --layer takes it:
// "013-Aluminum.ps:5mm", "Polymethyl_methacrylate.psp:2cm:1.18".
std::optional<WrittenLayer> readLayerOption(std::string_view text);

// Refuses anything it cannot read whole, naming the line.
std::variant<std::vector<WrittenLayer>, StackFileError> parseStack(std::string_view text);
std::string stackText(const std::vector<WrittenLayer> &layers);

// A stack file of at most 1 MiB; the message names the file.
std::variant<std::vector<WrittenLayer>, std::string>
readStackFile(const std::filesystem::path &file);

struct Layer {
    LayerMaterial material;
    std::string name; // for messages
    Thickness thickness;
    double density = 0; // g/cm3
};

// g/cm2 and cm; the density converts the units.
double massThickness(const Layer &layer);
double thicknessCm(const Layer &layer);

struct LayerResult {
    double energyIn = 0;             // MeV
    double energyOut = 0;            // MeV; 0 when the beam stops in the layer
    double energyLost = 0;           // MeV
    double wet = 0;                  // cm of liquid water; up to the stop when it stops here
    double residualWaterRange = 0;   // cm, in water behind the layer
    std::optional<double> stopDepth; // cm into the layer, when it stops here
};

struct StackResult {
    std::vector<LayerResult> layers; // up to the layer it stops in
    double energyIn = 0;
    double energyOut = 0;
    double energyLost = 0;
    double wet = 0;
    double residualWaterRange = 0;
    std::optional<std::size_t> stoppedIn; // index into layers
};

struct StackError {
    enum class Input { Energy, Thickness, Density };
    std::optional<std::size_t> layer; // the layer it concerns, when one does
    std::string message;
    Input input = Input::Energy; // what to mend
};

// Liquid water, the reference of the water-equivalent thicknesses.
struct StackWater {
    LayerMaterial material;
};

// Forwards: the beam entering the first layer at `energyIn` MeV.
std::variant<StackResult, StackError> throughStack(const std::vector<Layer> &layers,
                                                   const StackWater &water, double energyIn);

// Backwards: the energy entering the stack that leaves it with `energyOut`.
std::variant<double, StackError> energyNeededFor(const std::vector<Layer> &layers,
                                                 double energyOut);

// The energy that reaches `depth` cm into water behind the stack.
std::variant<double, StackError> energyForWaterDepth(const StackWater &water, double depth);

// A layer's value of `quantity`; none for the stop depth of a layer the beam crosses.
std::optional<double> valueOf(const LayerResult &layer, LayerQuantity quantity);

// The results as a header of the quantities' keys and a line per layer,
// values at full precision; a value a layer does not have is left empty.
std::string stackResultsText(const StackResult &result, const std::vector<std::string> &layerNames,
                             TableFileFormat format);

// The CSDA caveat, one sentence for the window and the help.
inline constexpr const char *kCsdaCaveat =
    "Continuous slowing down only: no range straggling, no nuclear losses of protons, "
    "no multiple-scattering path effects.";

} // namespace quenrow
