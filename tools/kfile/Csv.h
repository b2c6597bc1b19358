// Fields of comma-separated values as RFC 4180 writes them.
#pragma once

#include <ostream>
#include <string>
#include <vector>

// The field as it goes into a CSV line: as it is when it holds no comma, double quote, line
// break or surrounding space, else in double quotes with each double quote doubled.
std::string CsvField(const std::string& text);

// One line: the fields separated by commas, ended by CR LF.
void WriteCsvRow(std::ostream& out, const std::vector<std::string>& fields);
