// What the import tells the user about a file: the one message box, with OK
// to go on without what could not be read and Cancel to stop the import.
#pragma once

#include <string>
#include <vector>

namespace jcamp {

// "Reading file <path>:\n<reason>\n\nImport will continue without data from
// this file!"; true when the user chose OK.
bool goOnWithoutFile(const std::string& path, const std::string& reason);

// The blocks of a file left out for their X grid, one line each; true for
// OK, and when there is nothing to tell.
bool goOnWithoutBlocks(const std::string& path, const std::vector<std::string>& blocks);

}  // namespace jcamp
