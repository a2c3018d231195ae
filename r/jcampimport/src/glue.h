/* The .Call entry points of the package and what they share. */
#ifndef JCAMPIMPORT_R_GLUE_H
#define JCAMPIMPORT_R_GLUE_H

#include <Rinternals.h>

/* Longer than any name the library writes: sample names are at most 127
   bytes, variable names 39, and file names are paths. */
#define JCAMP_R_TEXT_SIZE 8192

/* Library text as an R string: ASCII as it is, else UTF-8 where it is valid
   (the standard mode's text), else Latin-1 (bytes as in the file). */
SEXP jcamp_r_text(const char* text);

SEXP jcamp_r_open(SEXP mode);
SEXP jcamp_r_close(SEXP handle);
SEXP jcamp_r_grid(SEXP handle, SEXP policy, SEXP first, SEXP last, SEXP count, SEXP units);
SEXP jcamp_r_add(SEXP handle, SEXP paths, SEXP stopAtFirst);
SEXP jcamp_r_import(SEXP handle, SEXP goOn);
SEXP jcamp_r_collect(SEXP handle, SEXP yCount);
SEXP jcamp_r_check(SEXP path, SEXP mode);

#endif
