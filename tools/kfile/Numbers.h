// Numbers and counts as the kfile command writes them.
#pragma once

#include <cstdint>
#include <string>

// The shortest text that reads back as the same number.
std::string NumberText(double value);
std::string NumberText(float value);

// A rate in plain decimals, as short as reads back the same: "29.97", "100000", not "1e+05".
std::string RateText(float rate);

// "1 frame", "2 frames".
std::string Counted(int64_t count, const std::string& thing);
