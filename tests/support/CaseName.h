#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

// The name a parameterised case gets in ctest: stable from run to run (never the
// raw bytes of the parameter) and readable in a CI log, so that `ctest -R` can
// re-run exactly the case that failed. Test names allow only letters, digits
// and '_', so everything else becomes '_'.
inline std::string CaseName(std::string_view text) {
    std::string name(text);
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name.empty() ? std::string("empty") : name;
}

// For case tables whose rows carry their own `name`.
struct ByName {
    template <class Case>
    std::string operator()(const testing::TestParamInfo<Case>& info) const {
        return CaseName(info.param.name);
    }
};
