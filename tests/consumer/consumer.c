/*
 * Imports the bundled examples through the linked exports and checks a few
 * values: the public header compiles as C, and the exports work without
 * run-time loading.
 *   consumer wheat-a.jdx wheat-b.jdx wheat-pair.jdx
 */
#include <jcampimport.h>

#include <math.h>
#include <stdio.h>
#include <string.h>

enum { kTextSize = 4096, kSamples = 4, kVariables = 12 };

static int failures = 0;

static void expect(int condition, const char* what) {
  if (!condition) {
    fprintf(stderr, "consumer: FAILED: %s\n", what);
    ++failures;
  }
}

static void expectText(int32_t result, const char* text, const char* wanted, const char* what) {
  if (result != JCAMP_OK || strcmp(text, wanted) != 0) {
    fprintf(stderr, "consumer: FAILED: %s: result %d, \"%s\" instead of \"%s\"\n", what,
            (int)result, text, wanted);
    ++failures;
  }
}

int main(int argc, char** argv) {
  char text[kTextSize];
  uint32_t handle = 0;
  int32_t samples = 0;
  int32_t variables = 0;
  float row[kVariables] = {0};
  int i;

  if (argc != 4) {
    fprintf(stderr, "usage: consumer wheat-a.jdx wheat-b.jdx wheat-pair.jdx\n");
    return 2;
  }
  expect(checkFileName(argv[1], text, sizeof text) == JCAMP_HEADER_OK, "checkFileName");
  if (openHandleUDI(&handle) != JCAMP_OK) {
    fprintf(stderr, "consumer: FAILED: openHandleUDI\n");
    return 1;
  }
  for (i = 1; i < argc; ++i) expect(addFileName(handle, argv[i]) == JCAMP_OK, "addFileName");
  expect(importData(handle) == JCAMP_OK, "importData");
  expect(getNumberOfSamples(handle, &samples) == JCAMP_OK && samples == kSamples, "4 samples");
  expect(getNumberOfVariables(handle, &variables) == JCAMP_OK && variables == kVariables,
         "12 variables");

  expectText(getVariableName(handle, 0, text), text, "4000.000", "first variable");
  expectText(getVariableName(handle, 11, text), text, "protein", "last variable");
  expectText(getSampleName(handle, 0, text), text, "Wheat flour, batch A", "first sample");
  expectText(getData(handle, 0, 10, text), text, "12.500000", "water of sample 0");
  expectText(getData(handle, 3, 1, text), text, "m", "missing point of sample 3");

  expect(getValues(handle, 3, 0, kVariables, row) == JCAMP_OK, "getValues");
  expect(row[0] == 0.118f && isnan(row[1]) && row[11] == 11.1f, "values of sample 3");
  expect(closeHandleUDI(handle) == JCAMP_OK, "closeHandleUDI");

  if (failures != 0) return 1;
  printf("consumer: %d samples x %d variables as expected\n", (int)samples, (int)variables);
  return 0;
}
