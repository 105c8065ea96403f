// Writing and reading RFC 4180 CSV.
#include "common/csv.h"

namespace aerolinker {

void AppendCsvField(std::string& line, std::string_view field) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        line += field;
        return;
    }
    line += '"';
    for (char c : field) {
        if (c == '"') {
            line += '"';
        }
        line += c;
    }
    line += '"';
}

std::string CsvRecord(const CsvFields& fields) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            line += ',';
        }
        AppendCsvField(line, fields[i]);
    }
    line += "\r\n";
    return line;
}

bool ParseCsv(std::string_view text, std::vector<CsvFields>& records) {
    records.clear();
    const size_t n = text.size();
    size_t i = 0;
    CsvFields record;
    std::string field;
    while (i < n) {
        if (text[i] == '"') {
            for (++i;; ++i) {
                if (i >= n) {
                    return false;
                }
                if (text[i] == '"') {
                    if (i + 1 < n && text[i + 1] == '"') {
                        field += '"';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i];
            }
        } else {
            for (; i < n && text[i] != ',' && text[i] != '\r' && text[i] != '\n'; ++i) {
                if (text[i] == '"') {
                    return false;
                }
                field += text[i];
            }
        }
        record.push_back(std::move(field));
        field.clear();
        if (i < n && text[i] == ',') {
            ++i;
            // A comma at the very end still opens one more, empty field.
            if (i == n) {
                record.emplace_back();
            }
            continue;
        }
        if (i < n && text[i] == '\r') {
            ++i;
            if (i >= n || text[i] != '\n') {
                return false;
            }
        }
        if (i < n) {
            if (text[i] != '\n') {
                return false;
            }
            ++i;
        }
        records.push_back(std::move(record));
        record.clear();
    }
    if (!record.empty()) {
        records.push_back(std::move(record));
    }
    return true;
}

}  // namespace aerolinker
