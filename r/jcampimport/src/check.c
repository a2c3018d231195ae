#include <jcampimport.h>

#include "glue.h"

/* checkFileNameMode: list(status, message), the message being the reason of
   a refusal or the file's shape as tab-separated fields. */
SEXP jcamp_r_check(SEXP path, SEXP mode) {
  if (TYPEOF(path) != STRSXP || XLENGTH(path) != 1) Rf_error("path must be one string");
  char* message = R_alloc(JCAMP_R_TEXT_SIZE, 1);
  message[0] = '\0';
  const int32_t status = checkFileNameMode(Rf_translateChar(STRING_ELT(path, 0)),
                                           Rf_asInteger(mode), message, JCAMP_R_TEXT_SIZE);
  SEXP out = PROTECT(Rf_allocVector(VECSXP, 2));
  SET_VECTOR_ELT(out, 0, Rf_ScalarInteger(status));
  SET_VECTOR_ELT(out, 1, Rf_ScalarString(jcamp_r_text(message)));
  UNPROTECT(1);
  return out;
}
