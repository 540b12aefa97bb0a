// SPDX-License-Identifier: MIT
// Quenrow: the plot as a file. PNG is the window's image at a higher
// density; SVG and PDF are vector drawings made by the same drawing steps.
#pragma once

#include <vector>

#include <QImage>

#include "data/material.h"
#include "ui/save_file.h"

class QIODevice;

namespace quenrow {

class PictureBox;

enum class PlotFormat { Svg, Pdf, Png };

// The kinds offered when saving, in the order of PlotFormat.
const std::vector<FileKind> &plotFileKinds();

// The plot of `table` as the window shows it, with the marker lines of `box`
// that are visible, at `ratio` device pixels a pixel.
QImage plotImage(const MaterialTable &table, const PictureBox &box, qreal ratio);

// Writes that plot to `out`; `title` names the drawing in SVG and PDF, and a
// PNG is drawn at `pngRatio`. False when the drawing could not be made.
bool writePlot(QIODevice &out, PlotFormat format, const MaterialTable &table, const PictureBox &box,
               const QString &title, qreal pngRatio);

} // namespace quenrow
