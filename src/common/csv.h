// CSV as RFC 4180 has it: comma-separated fields, CR LF after every record, and a field
// quoted when it holds a comma, a quote, CR or LF, with its quotes doubled.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace aerolinker {

using CsvFields = std::vector<std::string>;

// One field, quoted when it needs to be, appended to a record being made.
void AppendCsvField(std::string& line, std::string_view field);

// One record with its CR LF.
std::string CsvRecord(const CsvFields& fields);

// Records separated by CR LF (a lone LF is accepted too; the last line end may be missing).
// False, with `records` undefined, when a quote is left open or stray text follows a closing
// quote or a quote stands inside an unquoted field.
bool ParseCsv(std::string_view text, std::vector<CsvFields>& records);

}  // namespace aerolinker
