// Reason texts for errno values, as the C library words them.
#include <cstring>

#include "common/app_error.h"

namespace aerolinker {

std::string SystemErrorText(int systemError) {
    return std::strerror(systemError);
}

}  // namespace aerolinker
