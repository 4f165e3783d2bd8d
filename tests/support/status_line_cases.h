// The status line expected for each LastOptim text, shared by the start-up decision
// tests and the tests of the main window that shows it.
#pragma once

namespace status_line_cases {

inline constexpr char kPrefix[] = "Last optimization type that you use ";

struct Case {
  const char* lastOptim;
  const char* caption;  // appended to kPrefix
};

inline constexpr Case kCases[] = {
    {"0", ""},
    {"1", "56k Flex , V.90 , V.92 Modem"},
    {"2", "33k or below Modem"},
    {"3", "Normal Cable , xDSL"},
    {"4", "Cable , xDSL running over PPPoE"},
    {"5", "LAN , ISDN , T1"},
    {"6", "Satellite Dish"},
    {"7", "Windows Default Settings"},
    {"8", ""},
    {"9", ""},
    {"-1", ""},
    {"", ""},
    {"seven", ""},
    {"3x", ""},
};

}  // namespace status_line_cases
