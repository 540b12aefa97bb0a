// SPDX-License-Identifier: MIT
#include "table_export.h"

#include "number_format.h"

namespace quenrow {

std::string tableAsTabSeparated(const MaterialTable &table)
{
    std::string text = "Energy (MeV)\tElectronic (MeV cm2/g)\tNuclear (MeV cm2/g)\t"
                       "Total (MeV cm2/g)\tCSDA range (g/cm2)\tProjected range (g/cm2)\n";
    for (int k = 1; k <= kRowCount; ++k) {
        const double values[] = {table.energy[k],           table.stoppingPower[1][k],
                                 table.stoppingPower[2][k], table.stoppingPower[3][k],
                                 table.range[1][k],         table.range[2][k]};
        for (std::size_t i = 0; i < std::size(values); ++i) {
            if (i > 0)
                text += '\t';
            text += formatGeneral(values[i]);
        }
        text += '\n';
    }
    return text;
}

} // namespace quenrow
