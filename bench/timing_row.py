# SPDX-License-Identifier: MIT
"""The one result row the Python timings print, in the columns run.sh reads:
name  unit  n  median  p99  p10  min  max  note"""

import math
import statistics


def percentile(values, p):
    v = sorted(values)
    return v[max(1, min(len(v), math.ceil(p / 100 * len(v)))) - 1]


def report(name, times, note):
    print(f"{name}\tms\t{len(times)}\t{statistics.median(times):.4g}\t"
          f"{percentile(times, 99):.4g}\t{percentile(times, 10):.4g}\t"
          f"{min(times):.4g}\t{max(times):.4g}\t{note}")
