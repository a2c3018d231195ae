// DLL entry point: delete every importer the host left open when unloaded.
#include <windows.h>

#include "plugin/handle_table.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE /*instance*/, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_DETACH) jcamp::destroyAllHandles();
  return TRUE;
}
