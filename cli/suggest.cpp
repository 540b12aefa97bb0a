// SPDX-License-Identifier: MIT
#include "suggest.h"

#include <algorithm>
#include <cctype>
#include <numeric>
#include <utility>

namespace quenrow::cli {

namespace {

// Longer queries cannot be a mistyped name of ours, and the edit distance
// grows with the product of the lengths.
constexpr std::size_t kLongestQuery = 64;

// Lower case, the extension dropped, every run of other characters one '_'.
std::string normalized(std::string_view text)
{
    for (std::string_view extension : {".psp", ".ps"})
        if (text.size() > extension.size() && text.ends_with(extension))
            text.remove_suffix(extension.size());
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte))
            out += static_cast<char>(std::tolower(byte));
        else if (!out.empty() && out.back() != '_')
            out += '_';
    }
    while (!out.empty() && out.back() == '_')
        out.pop_back();
    return out;
}

std::size_t editDistance(std::string_view a, std::string_view b)
{
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t substitute = diagonal + (a[i - 1] == b[j - 1] ? 0 : 1);
            diagonal = row[j];
            row[j] = std::min({substitute, row[j] + 1, row[j - 1] + 1});
        }
    }
    return row[b.size()];
}

// The stem as a whole, or any one of its words ("lead" in "082_lead").
std::size_t distanceToStem(const std::string &query, const std::string &stem)
{
    std::size_t best = editDistance(query, stem);
    std::size_t start = 0;
    while (start < stem.size()) {
        const std::size_t end = std::min(stem.find('_', start), stem.size());
        best =
            std::min(best, editDistance(query, std::string_view(stem).substr(start, end - start)));
        start = end + 1;
    }
    return best;
}

} // namespace

std::vector<std::string> closestNames(std::string_view query,
                                      const std::vector<std::string> &fileNames, std::size_t most)
{
    if (query.size() > 4 * kLongestQuery)
        return {};
    const std::string wanted = normalized(query);
    if (wanted.empty() || wanted.size() > kLongestQuery)
        return {};
    // One edit in three characters, at least one: "watr" is close to "water",
    // "xyz" is not close to "tin".
    const std::size_t allowed = std::max<std::size_t>(1, wanted.size() / 3);
    std::vector<std::pair<std::size_t, std::string>> close;
    for (const std::string &fileName : fileNames) {
        const std::size_t distance = distanceToStem(wanted, normalized(fileName));
        if (distance <= allowed)
            close.emplace_back(distance, fileName);
    }
    std::sort(close.begin(), close.end());
    std::vector<std::string> names;
    for (std::size_t i = 0; i < close.size() && i < most; ++i)
        names.push_back(close[i].second);
    return names;
}

} // namespace quenrow::cli
