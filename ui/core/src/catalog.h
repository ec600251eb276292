// The translations, compiled from ui/core/translations/*.ts by make_catalog.py.
#pragma once

#include <cstddef>

namespace vellicor::catalog {

struct Entry {
    const char* context;
    const char* source;
    const char* translation;
};

struct Language {
    const char* name;  // "de"
    const Entry* entries;
    std::size_t count;
};

extern const Language kLanguages[];
extern const std::size_t kLanguageCount;

}  // namespace vellicor::catalog
