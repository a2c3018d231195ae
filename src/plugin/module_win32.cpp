// DLL entry point: delete every importer the host left open when unloaded.
#include <windows.h>

#include "plugin/handle_table.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE /*instance*/, DWORD reason, LPVOID reserved) {
  // Only when the host unloads the module: at process exit the other threads
  // are already gone, perhaps holding the table's lock, and the system frees
  // the memory anyway.
  if (reason == DLL_PROCESS_DETACH && reserved == nullptr) jcamp::destroyAllHandles();
  return TRUE;
}
