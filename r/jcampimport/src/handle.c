/* An import handle as an R external pointer: opened in a reading mode, files
   added, imported with the message box answered here, the matrix collected.
   The finalizer closes a handle that an error or interrupt left open. */
#include <jcampimport.h>
#include <math.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "glue.h"

/* Rows fetched at once and turned into R's column order together. */
#define ROWS_PER_TILE 32

/* The library's answers to its message box. */
enum { ANSWER_OK = 1, ANSWER_CANCEL = 2 };

static uint32_t handle_number(SEXP handle) {
  if (TYPEOF(handle) != EXTPTRSXP) Rf_error("not an import handle");
  return (uint32_t)(uintptr_t)R_ExternalPtrAddr(handle);
}

static void close_handle(SEXP handle) {
  const uint32_t number = (uint32_t)(uintptr_t)R_ExternalPtrAddr(handle);
  if (number != 0) closeHandleUDI(number);
  R_ClearExternalPtr(handle);
}

/* An open handle in the given reading mode, or the integer result code of
   the call that failed. */
SEXP jcamp_r_open(SEXP mode) {
  uint32_t number = 0;
  int32_t result = openHandleUDI(&number);
  if (result == JCAMP_OK) result = setReadingMode(number, Rf_asInteger(mode));
  if (result != JCAMP_OK) {
    if (number != 0) closeHandleUDI(number);
    return Rf_ScalarInteger(result);
  }
  SEXP handle = PROTECT(R_MakeExternalPtr((void*)(uintptr_t)number, R_NilValue, R_NilValue));
  R_RegisterCFinalizerEx(handle, close_handle, TRUE);
  UNPROTECT(1);
  return handle;
}

SEXP jcamp_r_close(SEXP handle) {
  handle_number(handle);
  close_handle(handle);
  return R_NilValue;
}

/* setGrid's result for a grid policy (the library's number), with the first
   and last X, point count and units of an explicit grid ("" for the first
   row's units). */
SEXP jcamp_r_grid(SEXP handle, SEXP policy, SEXP first, SEXP last, SEXP count, SEXP units) {
  const uint32_t number = handle_number(handle);
  JcampGrid grid;
  memset(&grid, 0, sizeof grid);
  grid.size = sizeof grid;
  grid.policy = Rf_asInteger(policy);
  grid.first = Rf_asReal(first);
  grid.last = Rf_asReal(last);
  grid.count = Rf_asInteger(count);
  if (TYPEOF(units) != STRSXP || XLENGTH(units) != 1) Rf_error("units must be one string");
  const SEXP unit = STRING_ELT(units, 0);
  const char* text = unit == NA_STRING ? "" : Rf_translateCharUTF8(unit);
  if (strlen(text) >= sizeof grid.units) return Rf_ScalarInteger(JCAMP_BAD_ARGUMENT);
  strcpy(grid.units, text);
  return Rf_ScalarInteger(setGrid(number, &grid));
}

/* addFileName's result for each path; NA for those after the first refusal
   when stopAtFirst is set. */
SEXP jcamp_r_add(SEXP handle, SEXP paths, SEXP stopAtFirst) {
  const uint32_t number = handle_number(handle);
  const int stop = Rf_asLogical(stopAtFirst) == TRUE;
  if (TYPEOF(paths) != STRSXP) Rf_error("paths must be a character vector");
  const R_xlen_t count = XLENGTH(paths);
  SEXP results = PROTECT(Rf_allocVector(INTSXP, count));
  int* out = INTEGER(results);
  R_xlen_t i;
  int refused = 0;
  for (i = 0; i < count; ++i) {
    if (refused && stop) {
      out[i] = NA_INTEGER;
      continue;
    }
    if ((i & 1023) == 1023) R_CheckUserInterrupt();
    out[i] = addFileName(number, Rf_translateChar(STRING_ELT(paths, i)));
    refused = out[i] != JCAMP_OK;
  }
  UNPROTECT(1);
  return results;
}

/* What the message box was told during one import. The handler may not call
   R (an R error would jump over the library's frames), so texts are kept
   here and the list is emptied at the start of the next import. */
static struct {
  char** texts;
  size_t count;
  size_t capacity;
  int goOn;
} boxes;

static void forget_boxes(void) {
  size_t i;
  for (i = 0; i < boxes.count; ++i) free(boxes.texts[i]);
  free(boxes.texts);
  boxes.texts = NULL;
  boxes.count = boxes.capacity = 0;
}

static int32_t answer_box(const char* text, uint32_t type, void* context) {
  (void)type;
  (void)context;
  if (boxes.count == boxes.capacity) {
    const size_t capacity = boxes.capacity == 0 ? 16 : boxes.capacity * 2;
    char** grown = realloc(boxes.texts, capacity * sizeof *grown);
    if (grown != NULL) {
      boxes.texts = grown;
      boxes.capacity = capacity;
    }
  }
  if (boxes.count < boxes.capacity) {
    char* copy = malloc(strlen(text) + 1);
    if (copy != NULL) boxes.texts[boxes.count++] = strcpy(copy, text);
  }
  return boxes.goOn ? ANSWER_OK : ANSWER_CANCEL;
}

/* The index of the file a message names ("Reading file PATH:\n..."), looked
   for from `from` on, since messages come in file order; -1 if none. *rest
   is set to the text after that first line. */
static int32_t named_file(uint32_t number, const char* text, int32_t from, int32_t files,
                          char* name, const char** rest) {
  static const char prefix[] = "Reading file ";
  const size_t prefixLength = sizeof prefix - 1;
  int32_t i;
  if (strncmp(text, prefix, prefixLength) != 0) return -1;
  for (i = from < 0 ? 0 : from; i < files; ++i) {
    if (getFileName(number, i, name) != JCAMP_OK) continue;
    const char* after = text + prefixLength + strlen(name);
    if (strncmp(text + prefixLength, name, strlen(name)) == 0 && strncmp(after, ":\n", 2) == 0) {
      *rest = after + 2;
      return i;
    }
  }
  return -1;
}

/* Runs importData, answering every message box OK (goOn) or Cancel. Returns
   list(result, file, text): the import's result and, per message, the
   library's index of the file it names (from 1, NA if none) and the text
   after its first line. */
SEXP jcamp_r_import(SEXP handle, SEXP goOn) {
  const uint32_t number = handle_number(handle);
  forget_boxes();
  boxes.goOn = Rf_asLogical(goOn) == TRUE;
  setMessageBoxHandler(answer_box, NULL);
  const int32_t result = importData(number);
  setMessageBoxHandler(NULL, NULL);

  int32_t files = 0;
  if (getNoOfFiles(number, &files) != JCAMP_OK) files = 0;
  const R_xlen_t count = (R_xlen_t)boxes.count;
  SEXP out = PROTECT(Rf_allocVector(VECSXP, 3));
  SEXP file = Rf_allocVector(INTSXP, count);
  SET_VECTOR_ELT(out, 1, file);
  SEXP text = Rf_allocVector(STRSXP, count);
  SET_VECTOR_ELT(out, 2, text);
  SET_VECTOR_ELT(out, 0, Rf_ScalarInteger(result));
  char* name = R_alloc(JCAMP_R_TEXT_SIZE, 1);
  int32_t from = 0;
  R_xlen_t k;
  for (k = 0; k < count; ++k) {
    const char* message = boxes.texts[k];
    const char* rest = message;
    const int32_t index = named_file(number, message, from, files, name, &rest);
    if (index >= 0) from = index;
    INTEGER(file)[k] = index >= 0 ? index + 1 : NA_INTEGER;
    SET_STRING_ELT(text, k, jcamp_r_text(rest));
  }
  forget_boxes();
  UNPROTECT(1);
  return out;
}

/* Rows [first, first + rows) into R's column-major matrices: the first
   xCount variables into values, the rest into concentrations; NaN as NA. */
static void place_rows(const float* tile, int32_t first, int32_t rows, int32_t samples,
                       int32_t variables, int32_t xCount, double* values,
                       double* concentrations) {
  int32_t v;
  int32_t r;
  for (v = 0; v < variables; ++v) {
    double* column = v < xCount ? values + (R_xlen_t)v * samples
                                : concentrations + (R_xlen_t)(v - xCount) * samples;
    for (r = 0; r < rows; ++r) {
      const float value = tile[(size_t)r * (size_t)variables + (size_t)v];
      column[first + r] = isnan(value) ? NA_REAL : (double)value;
    }
  }
}

static SEXP numeric_matrix(int32_t rows, int32_t columns) {
  SEXP matrix = PROTECT(Rf_allocVector(REALSXP, (R_xlen_t)rows * columns));
  SEXP dim = PROTECT(Rf_allocVector(INTSXP, 2));
  INTEGER(dim)[0] = rows;
  INTEGER(dim)[1] = columns;
  Rf_setAttrib(matrix, R_DimSymbol, dim);
  UNPROTECT(2);
  return matrix;
}

static SEXP fetch_names(uint32_t number, int32_t count,
                        int32_t (*getter)(uint32_t, int32_t, char*)) {
  SEXP names = PROTECT(Rf_allocVector(STRSXP, count));
  char* text = R_alloc(JCAMP_R_TEXT_SIZE, 1);
  int32_t i;
  for (i = 0; i < count; ++i) {
    text[0] = '\0';
    if (getter(number, i, text) != JCAMP_OK) text[0] = '\0';
    SET_STRING_ELT(names, i, jcamp_r_text(text));
  }
  UNPROTECT(1);
  return names;
}

/* Per sample: file (from 1), block (from 1), checks, warnings, line, and
   the share of the grid a resampled sample fills (1 for any other). */
static SEXP fetch_origins(uint32_t number, int32_t samples) {
  SEXP origins = PROTECT(Rf_allocVector(VECSXP, 6));
  int* columns[5];
  int32_t c;
  int32_t s;
  for (c = 0; c < 5; ++c) {
    SET_VECTOR_ELT(origins, c, Rf_allocVector(INTSXP, samples));
    columns[c] = INTEGER(VECTOR_ELT(origins, c));
  }
  SET_VECTOR_ELT(origins, 5, Rf_allocVector(REALSXP, samples));
  double* coverage = REAL(VECTOR_ELT(origins, 5));
  for (s = 0; s < samples; ++s) {
    JcampSampleInfo info;
    memset(&info, 0, sizeof info);
    info.size = sizeof info;
    if (getSampleInfo(number, s, &info) != JCAMP_OK) info.fileIndex = info.blockIndex = -1;
    columns[0][s] = info.fileIndex >= 0 ? info.fileIndex + 1 : NA_INTEGER;
    columns[1][s] = info.blockIndex >= 0 ? info.blockIndex + 1 : NA_INTEGER;
    columns[2][s] = (int)info.checkFlags;
    columns[3][s] = (int)info.warnings;
    columns[4][s] = info.line > 0 ? info.line : NA_INTEGER;
    coverage[s] = (info.warnings & JCAMP_WARN_RESAMPLED) != 0 ? (double)info.coverage : 1.0;
  }
  UNPROTECT(1);
  return origins;
}

/* Names of the rows and of columns [first, first + count) of all variables. */
static void name_dimensions(SEXP matrix, SEXP rowNames, SEXP variableNames, int32_t first,
                            int32_t count) {
  SEXP names = PROTECT(Rf_allocVector(VECSXP, 2));
  SEXP columns = Rf_allocVector(STRSXP, count);
  SET_VECTOR_ELT(names, 1, columns);
  SET_VECTOR_ELT(names, 0, rowNames);
  int32_t i;
  for (i = 0; i < count; ++i) SET_STRING_ELT(columns, i, STRING_ELT(variableNames, first + i));
  Rf_setAttrib(matrix, R_DimNamesSymbol, names);
  UNPROTECT(1);
}

/* The imported matrix: list(values, concentrations, variable names, sample
   names, origins), the last yCount variables being the concentrations and
   those before them the X points; the two matrices carry the sample and
   variable names. NULL when no row was read (the names of a header's columns
   are not worth their memory then). */
SEXP jcamp_r_collect(SEXP handle, SEXP yCount) {
  const uint32_t number = handle_number(handle);
  int32_t samples = 0;
  int32_t variables = 0;
  if (getNumberOfSamples(number, &samples) != JCAMP_OK || samples < 0) samples = 0;
  if (getNumberOfVariables(number, &variables) != JCAMP_OK || variables < 0) variables = 0;
  int32_t y = Rf_asInteger(yCount);
  y = y == NA_INTEGER || y < 0 ? 0 : y > variables ? variables : y;
  const int32_t x = variables - y;
  if (samples == 0) return R_NilValue;

  SEXP out = PROTECT(Rf_allocVector(VECSXP, 5));
  SEXP values = numeric_matrix(samples, x);
  SET_VECTOR_ELT(out, 0, values);
  SEXP concentrations = numeric_matrix(samples, variables - x);
  SET_VECTOR_ELT(out, 1, concentrations);
  float* tile = (float*)R_alloc((size_t)ROWS_PER_TILE * (size_t)(variables > 0 ? variables : 1),
                                sizeof(float));
  int32_t first;
  for (first = 0; first < samples && variables > 0; first += ROWS_PER_TILE) {
    const int32_t rows = samples - first < ROWS_PER_TILE ? samples - first : ROWS_PER_TILE;
    int32_t r;
    for (r = 0; r < rows; ++r) {
      float* row = tile + (size_t)r * (size_t)variables;
      if (getValues(number, first + r, 0, variables, row) != JCAMP_OK) {
        int32_t v;
        for (v = 0; v < variables; ++v) row[v] = NAN;
      }
    }
    place_rows(tile, first, rows, samples, variables, x, REAL(values), REAL(concentrations));
  }
  SEXP variableNames = fetch_names(number, variables, getVariableName);
  SET_VECTOR_ELT(out, 2, variableNames);
  SEXP sampleNames = fetch_names(number, samples, getSampleName);
  SET_VECTOR_ELT(out, 3, sampleNames);
  SET_VECTOR_ELT(out, 4, fetch_origins(number, samples));
  name_dimensions(values, sampleNames, variableNames, 0, x);
  name_dimensions(concentrations, sampleNames, variableNames, x, variables - x);
  UNPROTECT(1);
  return out;
}
