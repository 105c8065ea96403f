// The one-off append, the same on every platform over the platform's appending file.
#include "common/file_append.h"

#include "common/durable_steps.h"

namespace aerolinker {

// A one-off append completes something (a logbook row completes its entry), so the crash tests
// stop the program just before it as they do before a replacement.
int AppendToFile(const std::string& path, const std::string& header, const std::string& bytes) {
    NoteDurableStep(path);
    AppendingFile file(path);
    return file.Append(header, bytes);
}

}  // namespace aerolinker
