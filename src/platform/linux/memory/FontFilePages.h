#pragma once

#include <cstddef>
#include <string>

namespace brevanto {

// The font files the text renderer maps stay resident once read, though a
// window that has been painted draws its text from the glyph cache: the
// Japanese fonts alone bring several megabytes. Releasing the pages leaves
// them in the system's page cache, shared; a character drawn for the first
// time reads what it needs again. Only read-only mappings are released, so
// nothing written is ever lost.
//
// Returns the resident bytes released. mapsPath is for tests.
std::size_t ReleaseFontFilePages(const std::string& mapsPath = "/proc/self/smaps");

}  // namespace brevanto
