#include <R_ext/Rdynload.h>

#include "glue.h"

static const R_CallMethodDef kCallMethods[] = {
    {"jcamp_r_open", (DL_FUNC)&jcamp_r_open, 1},
    {"jcamp_r_close", (DL_FUNC)&jcamp_r_close, 1},
    {"jcamp_r_grid", (DL_FUNC)&jcamp_r_grid, 6},
    {"jcamp_r_add", (DL_FUNC)&jcamp_r_add, 3},
    {"jcamp_r_import", (DL_FUNC)&jcamp_r_import, 2},
    {"jcamp_r_collect", (DL_FUNC)&jcamp_r_collect, 2},
    {"jcamp_r_check", (DL_FUNC)&jcamp_r_check, 2},
    {NULL, NULL, 0}};

void R_init_jcampimport(DllInfo* info) {
  R_registerRoutines(info, NULL, kCallMethods, NULL, NULL);
  R_useDynamicSymbols(info, FALSE);
  R_forceSymbols(info, TRUE);
}
