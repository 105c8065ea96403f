// The two ways the Navigation log is written to its file, and reading it back.
#pragma once

#include <string>

#include "navlog/log_document.h"

namespace aerolinker {

constexpr const char* kLogFileName = "\\Navforge.log";
constexpr const char* kLogBackupName = "\\Navforge.bak";

// Every line followed by CR LF. Throws "Cannot create file "%s". %s" when the file cannot be
// written; the previous file then stays as it was.
void DirectSave(const LogDocument& document, const std::string& path);

// Every line followed by CR LF, then one more CR LF: the file ends with an empty line.
void TrackerSave(const LogDocument& document, const std::string& path);

// Whether a log file's text is the log of another flight than the document's: its title block
// names a flight (aircraft, pilot, date, departure, take-off) and not the document's.
bool NamesAnotherFlight(const std::string& fileText, const LogDocument& document);

// The file's bytes; throws "Cannot open file "%s". %s" when it cannot be read.
std::string ReadLogFile(const std::string& path);

}  // namespace aerolinker
