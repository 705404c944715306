// Huge pages for memory a large test fills once: a few page faults instead of one per 4 KiB,
// which on some machines cost more than the work done in the pages.
#pragma once

#include <cstddef>

// Asks the system (Linux) to back the whole 2 MiB pages inside [data, data + bytes) with huge
// pages; elsewhere, or for a smaller range, nothing happens.
void AdviseHugePages(const void *data, std::size_t bytes);
