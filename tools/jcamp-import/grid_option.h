// --grid first|overlap|FIRST:LAST:COUNT[:UNITS] as the library's grid.
#pragma once

#include <string>

#include "jcampimport.h"

// False with error set when text is none of the forms.
bool parseGridOption(const std::string& text, JcampGrid& grid, std::string& error);
