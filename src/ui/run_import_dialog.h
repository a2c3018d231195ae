// Shows the import dialog in the skin of this platform: a Win32 dialog on
// Windows, a screen on the controlling terminal elsewhere.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "labels/reading_rules.h"
#include "scan/jcamp_file_info.h"

namespace jcamp::ui {

// Reads the chosen files once as a trial when the user presses OK, so that a
// file that cannot be read is reported while the dialog is still up.
using TrialRead = std::function<void(const std::vector<std::unique_ptr<JcampFileInfo>>& chosen)>;

// Runs the dialog modally on the process's current directory. True when the
// user pressed OK: chosen then holds the chosen files' entries in list order.
// False when the user cancelled, or when there is nowhere to show it.
bool runImportDialog(const ReadingRules& rules, const TrialRead& trialRead,
                     std::vector<std::unique_ptr<JcampFileInfo>>& chosen);

}  // namespace jcamp::ui
