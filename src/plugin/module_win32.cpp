// DLL entry point and the COM server entry points. COM itself is set up on
// the thread that shows the dialog, not here: DllMain runs under the loader
// lock and only on the loading thread.
#include <objbase.h>
#include <windows.h>

#include "plugin/handle_table.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
  // Every importer the host left open goes with the module, but only when the
  // host unloads it: at process exit the other threads are already gone,
  // perhaps holding the table's lock, and the system frees the memory anyway.
  if (reason == DLL_PROCESS_DETACH && reserved == nullptr) jcamp::destroyAllHandles();
  return TRUE;
}

// The module serves no COM classes: nothing holds it loaded, no class object
// can be had, and registering writes nothing.
extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return S_OK;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID /*classId*/, REFIID /*interfaceId*/,
                                                    LPVOID* object) {
  if (object != nullptr) *object = nullptr;
  return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
  return S_OK;
}
