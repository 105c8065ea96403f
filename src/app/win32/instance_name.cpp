// The single-instance mutex name.
#include "app/win32/instance_name.h"

namespace aerolinker {

std::string InstanceMutexName(const std::string& modulePath) {
    const std::string::size_type separator = modulePath.find_last_of("\\/:");
    std::string name =
        separator == std::string::npos ? modulePath : modulePath.substr(separator + 1);
    // ASCII letters only: the name must not depend on the code page a copy runs under.
    for (char& c : name) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return name;
}

}  // namespace aerolinker
