// Keeping parts of a path: its folder, its name, its extension.
#pragma once

#include <string>

#include "platform/folders.h"

namespace jcamp::ui {

// Replaces path by the parts asked for: the folder (with its trailing
// separator when the name is kept too), the name without extension, and the
// extension from its dot on. False, with path unchanged, for an empty path.
bool splitPath(std::string& path, bool keepDirectory, bool keepName, bool keepExtension,
               char separator = platform::kPathSeparator);

}  // namespace jcamp::ui
