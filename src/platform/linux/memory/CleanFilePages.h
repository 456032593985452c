#pragma once

#include <cstddef>
#include <string>

namespace brevanto {

// Pages of files the process maps but has not changed: the code and
// constant data of the program and its libraries, and the font files the
// text renderer reads. Once started, the program runs little of the window
// toolkit's, SDL's and the other libraries' code, yet every page start-up
// touched stays resident (tens of megabytes), as do the Japanese fonts
// after the window's first paint, though text is drawn from the glyph cache
// from then on. Releasing them leaves the pages in the system's page cache,
// shared; what is used again is mapped again on first use.
//
// Only mappings that cannot hold anything of the process's own are
// released: not writable, backed by a file, and without a page the process
// changed (a library's relocated data becomes read-only after loading, but
// its pages are the process's own and stay).
//
// Call it on the user-interface thread at a quiet moment: it must not race
// with a library being loaded or a font being dropped. Returns the resident
// bytes released. smapsPath is for tests.
std::size_t ReleaseCleanFilePages(const std::string& smapsPath = "/proc/self/smaps");

}  // namespace brevanto
