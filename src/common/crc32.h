// CRC-32 as zip, PNG and Ethernet compute it (reflected polynomial 0xEDB88320): the check a
// saved file carries so that a file cut short or changed on disk is never taken for a sound one.
#pragma once

#include <cstdint>
#include <string_view>

namespace aerolinker {

std::uint32_t Crc32(std::string_view bytes);

}  // namespace aerolinker
