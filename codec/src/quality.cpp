#include "lzc/quality.h"

#include <algorithm>

namespace lzc {

std::optional<QualityLevel> qualityByName(std::string_view name) {
    const auto sameIgnoringCase = [](char given, char known) {
        return (given >= 'A' && given <= 'Z' ? static_cast<char>(given - 'A' + 'a') : given) ==
               known;
    };
    for (const QualityLevel& level : kQualityLevels) {
        if (std::equal(name.begin(), name.end(), level.name.begin(), level.name.end(),
                       sameIgnoringCase)) {
            return level;
        }
    }
    return std::nullopt;
}

}  // namespace lzc
