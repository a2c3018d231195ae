// The one message box the import shows, answerable by the host.
#pragma once

#include <cstdint>
#include <string>

#include "jcampimport.h"

namespace jcamp::platform {

constexpr uint32_t kMessageBoxOkCancelExclamation = 0x31;  // MB_OKCANCEL | MB_ICONEXCLAMATION
constexpr int32_t kAnswerOk = 1;                           // IDOK
constexpr int32_t kAnswerCancel = 2;                       // IDCANCEL

// Installs the host's handler; null restores the platform's default.
void setMessageBoxHandler(MessageBoxHandler handler, void* context);

// Shows text modally and returns the answer (kAnswerOk, kAnswerCancel, ...).
int32_t showMessageBox(const std::string& text, uint32_t type);

// The platform's own box: MessageBoxA on Windows, standard error elsewhere.
int32_t showDefaultMessageBox(const std::string& text, uint32_t type);

}  // namespace jcamp::platform
