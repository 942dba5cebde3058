#pragma once

#include <cstddef>
#include <cstdint>

namespace Oss {

// The CRC-64 the service reports as "x-oss-hash-crc64ecma" (ECMA-182 polynomial, reflected, initial value and
// final xor all ones). Start with crc 0 and feed the data in pieces.
std::uint64_t crc64(std::uint64_t crc, const void* data, std::size_t size);

} // namespace Oss
