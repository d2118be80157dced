#pragma once
// One table of crafted metafiles, each row one drawing rule of the platform
// the files were written for: the records, and the colours its rules put at
// a few pixels. Each concern adds its rows from a file of its own with
//   INSTANTIATE_TEST_SUITE_P(Concern, GdiRule, testing::ValuesIn(Rows()), GdiRuleName);
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "platform/color.h"

namespace pc::test {

struct Probe {
    int x, y;
    TColor colour;
    int tolerance = 0; // per channel
};

struct GdiRuleCase {
    std::string name; // the test's name: letters, digits and '_'
    std::vector<uint8_t> file;
    int width, height; // of the played picture
    std::vector<Probe> probes;
    std::string rule;  // what the row pins, said as the platform documents it
};

inline void PrintTo(const GdiRuleCase& c, std::ostream* os) { *os << c.name << ": " << c.rule; }

class GdiRule : public testing::TestWithParam<GdiRuleCase> {};

inline std::string GdiRuleName(const testing::TestParamInfo<GdiRuleCase>& info) { return info.param.name; }

} // namespace pc::test
