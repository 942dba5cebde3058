#pragma once

#include <cstddef>

namespace Platform {

// Makes the pages of [data, data + size) resident and writable now, so that writing them later takes no page
// faults: in one request to the system where it offers one, else by touching each page.
void makeResident(char* data, std::size_t size);

} // namespace Platform
