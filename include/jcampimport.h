/*
 * jcampimport: import JCAMP-DX spectra into one samples x variables matrix.
 *
 * A host loads the library at run time (dlopen / LoadLibrary), resolves the
 * functions below by name and drives an import through a handle:
 *
 *   uint32_t h;
 *   openHandleUDI(&h);
 *   addFileName(h, "a.jdx");          // or importDataUI(h): the user picks files
 *   importData(h);
 *   getNumberOfSamples(h, &rows); getNumberOfVariables(h, &cols);
 *   getSampleName(h, r, buf); getVariableName(h, c, buf); getData(h, r, c, buf);
 *   closeHandleUDI(h);
 *
 * Every data block of every file is one sample (row). The columns are the X
 * points of the first file's first data block, followed by one Y variable per
 * ##CONCENTRATIONS= component.
 *
 * Strings are single-byte and NUL-terminated. Output buffers carry no size:
 * the library copies the whole string with its NUL, so the host supplies room
 * for the longest possible text. getData writes at most 48 bytes; variable
 * names are short numbers or concentration names of at most 39 characters;
 * sample names are at most 127 characters; file names are the paths the host
 * or the dialog supplied. Numbers are written with '.' as the decimal point
 * whatever the host process's locale.
 *
 * Every function returns one of the result codes of enum JcampResult.
 *
 * Threads: every function may be called from any thread. Different handles
 * may be used from different threads at the same time. Calls on one handle
 * from several threads are serialised: each waits for the one before it, so
 * a host that shares a handle between threads gets consistent results but no
 * speed-up. closeHandleUDI may be called while another thread is inside a
 * call on the same handle: the handle is invalid for every later call at
 * once, and its importer is released when the running call returns.
 * setMessageBoxHandler may be called at any time; a box shown while it runs
 * uses the old handler or the new one, never a mix of the two.
 *
 * Re-entry: a call on a handle made from inside a call on that same handle,
 * on the same thread (from the message-box handler during importData or
 * importDataUI, or from a window procedure while the import dialog runs),
 * returns JCAMP_BUSY at once and changes nothing; closeHandleUDI too. Calls
 * on other handles work from there as anywhere else.
 */
#ifndef JCAMPIMPORT_H
#define JCAMPIMPORT_H

#include <stdint.h>

#if defined(_WIN32)
#define JCAMP_CALL __cdecl
#else
#define JCAMP_CALL
#endif

#if defined(JCAMP_BUILDING_LIBRARY) && !defined(_WIN32)
#define JCAMP_EXPORT __attribute__((visibility("default")))
#else
/* Windows exports come from the module definition file, undecorated. */
#define JCAMP_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

enum JcampResult {
  JCAMP_OK = 0,
  JCAMP_NO_OBJECT = 1,         /* slot without object, unexpected failure */
  JCAMP_INVALID_HANDLE = 2,    /* handle 0, closed or never opened */
  JCAMP_IMPORT_FAILED = 4096,  /* a file's import was abandoned; file entry not found */
  JCAMP_NO_FILES = 4097,       /* importData with no file names added */
  JCAMP_SHAPE_MISMATCH = 4098, /* addFileName: X or Y count differs from the first file */
  JCAMP_NOT_READY = 4100,      /* not imported yet, empty file list, dialog cancelled */
  JCAMP_NAMES_EMPTY = 4101,    /* the name list asked for is empty */
  JCAMP_BAD_INDEX = 4103,      /* index out of range */
  JCAMP_BAD_HEADER = 4104,     /* addFileName: the file's header cannot be read */
  JCAMP_NULL_ARGUMENT = 4105,  /* null file name or null output buffer */
  JCAMP_MODE_LOCKED = 4106,    /* setReadingMode or setGrid after the handle's first addFileName */
  JCAMP_BAD_ARGUMENT = 4107,   /* unknown reading mode, an info or grid struct too small, a grid
                                  the library cannot make */
  JCAMP_BUSY = 4108            /* called on a handle from inside a call on that same handle */
};

/* Status of checkFileName when the file is usable. */
#define JCAMP_HEADER_OK 100

JCAMP_EXPORT int32_t JCAMP_CALL openHandleUDI(uint32_t* handleOut);
JCAMP_EXPORT int32_t JCAMP_CALL closeHandleUDI(uint32_t handle);
JCAMP_EXPORT int32_t JCAMP_CALL importDataUI(uint32_t handle);
/*
 * Reads the files on as many threads as the machine has (at most 4 in a
 * 32-bit process); the environment variable JCAMP_THREADS caps that number,
 * and 1 keeps all work on the calling thread. Results, names and message
 * boxes come in file order on the calling thread, as with one thread, and no
 * thread outlives the call.
 */
JCAMP_EXPORT int32_t JCAMP_CALL importData(uint32_t handle);
JCAMP_EXPORT int32_t JCAMP_CALL addFileName(uint32_t handle, const char* fileName);
JCAMP_EXPORT int32_t JCAMP_CALL getNumberOfSamples(uint32_t handle, int32_t* count);
JCAMP_EXPORT int32_t JCAMP_CALL getNumberOfVariables(uint32_t handle, int32_t* count);
JCAMP_EXPORT int32_t JCAMP_CALL getVariableName(uint32_t handle, int32_t index, char* buffer);
JCAMP_EXPORT int32_t JCAMP_CALL getSampleName(uint32_t handle, int32_t index, char* buffer);
/*
 * Writes the value as "%f" (six decimals, e.g. 0.500000) or "m" for a missing
 * value: an ordinate written "?" in the file, or a point its table announced
 * (##NPOINTS=) but did not hold. A point beyond the block's own ##NPOINTS=, or
 * a concentration the block does not give, reads 0.000000; so do the samples
 * of a file whose header counts more data blocks than the file holds.
 * Every sample of a file that could not be read at import time (its message
 * box answered OK), and of a file added after the last import, reads "m".
 * Sample names: one per data block that has a ##SAMPLE DESCRIPTION= or
 * ##TITLE= text; blocks without either, and files that could not be read, add
 * none, so later names move up and there may be fewer names than samples.
 */
JCAMP_EXPORT int32_t JCAMP_CALL getData(uint32_t handle, int32_t sample, int32_t variable,
                                        char* buffer);
JCAMP_EXPORT int32_t JCAMP_CALL getNoOfFiles(uint32_t handle, int32_t* count);
JCAMP_EXPORT int32_t JCAMP_CALL getFileName(uint32_t handle, int32_t index, char* buffer);

/*
 * The import shows a message box (type 0x31: OK and Cancel, exclamation icon)
 * when a file's data cannot be read: OK goes on without that file, Cancel stops
 * the import. A host answers it itself by installing a handler, which returns
 * 1 for OK and 2 for Cancel. A null handler restores the default: a real
 * message box on Windows; elsewhere the text goes to standard error and the
 * answer is OK. The handler is process-wide: imports running on several
 * threads call it from those threads, possibly at the same time.
 */
typedef int32_t (*MessageBoxHandler)(const char* text, uint32_t type, void* context);
JCAMP_EXPORT void JCAMP_CALL setMessageBoxHandler(MessageBoxHandler handler, void* context);

/*
 * Measures one file as addFileName would, without a handle, and returns the
 * header scan's status: JCAMP_HEADER_OK (100) when the file is usable, another
 * status when addFileName would refuse it with JCAMP_BAD_HEADER. Into message
 * (cut to fit messageSize bytes, always NUL-terminated; may be null when
 * messageSize is 0) it copies the reason of a refusal, or for a usable file
 * its shape as nine tab-separated fields: samples, X count, Y count, first X,
 * last X, table ("XYDATA" or "XYPOINTS"; in the standard mode also "PEAK
 * TABLE", or "NTUPLES" with a sample per page), title, origin, owner.
 */
JCAMP_EXPORT int32_t JCAMP_CALL checkFileName(const char* fileName, char* message,
                                              uint32_t messageSize);

/*
 * Extensions beyond the host interface. Without them the library reads
 * exactly as described above; each is opt-in.
 */

/*
 * Reading rules of a handle, chosen before its first addFileName (later:
 * JCAMP_MODE_LOCKED; an unknown mode: JCAMP_BAD_ARGUMENT).
 *   JCAMP_MODE_HOST_COMPATIBLE (the default): the rules hosts rely on.
 *   JCAMP_MODE_STANDARD: files are read as the JCAMP-DX standard (4.24, 5.01,
 *     6.00) means them; see the README for what differs. Rows are made at
 *     importData for the blocks with a data table that lie on the X grid of
 *     the first file's first block (getNumberOfSamples may then differ from
 *     the sum the files' headers announced), and for each page of an NTUPLES
 *     block and each table of a block that holds several; every row has a
 *     sample name (its sample description, else its title, else "<file name>
 *     block <n>", at most 127 bytes; a page's: its block's title first, then
 *     " [<page>]"); X names are the shortest texts that read back to their
 *     abscissas. A block or page left out is named in the message box.
 *     getData writes the same texts in both modes.
 */
enum JcampReadingMode { JCAMP_MODE_HOST_COMPATIBLE = 0, JCAMP_MODE_STANDARD = 1 };
JCAMP_EXPORT int32_t JCAMP_CALL setReadingMode(uint32_t handle, int32_t mode);

/* checkFileName under the rules of a reading mode. */
JCAMP_EXPORT int32_t JCAMP_CALL checkFileNameMode(const char* fileName, int32_t mode, char* message,
                                                  uint32_t messageSize);

/*
 * A row segment as floats: count values of the sample from firstVariable on,
 * NaN where getData would write "m". Result codes as for getData.
 */
JCAMP_EXPORT int32_t JCAMP_CALL getValues(uint32_t handle, int32_t sample, int32_t firstVariable,
                                          int32_t count, float* out);

/* Consistency checks of a data table (the decoder's own flags). */
enum JcampCheckFlag {
  JCAMP_CHECK_X = 1,       /* a line's abscissa is off by more than half a step (standard
                              mode: off the grid and off where the line before puts it) */
  JCAMP_CHECK_Y = 2,       /* a line's first ordinate differs from the previous check value */
  JCAMP_CHECK_FIRST_Y = 4, /* the first ordinate differs from ##FIRSTY= */
  JCAMP_CHECK_COUNT = 8    /* the decoded point count differs from ##NPOINTS= */
};

/* Conditions that make a sample's values suspect. */
enum JcampWarning {
  JCAMP_WARN_NO_FACTOR = 0x1,      /* ##XFACTOR= or ##YFACTOR= missing where the table needs it
                                      (host-compatible: scaled by the unset marker 3.4e38; standard:
                                      by 1) */
  JCAMP_WARN_TRUNCATED = 0x2,      /* the input ended early, or a line was cut at 127 characters */
  JCAMP_WARN_DECIMAL_SPLIT = 0x4,  /* an ordinate with a '.' or an exponent was split into two */
  JCAMP_WARN_LAST_DROPPED = 0x8,   /* the table's last ordinate was taken as a check value */
  JCAMP_WARN_PRECISION = 0x10,     /* an ordinate or DIF sum beyond 2^24 lost digits in single
                                      precision (host-compatible; beyond 2^31 it reads as 0) */
  JCAMP_WARN_X_REVERSED = 0x20,    /* the X axis runs the other way from the matrix's (the standard
                                      mode puts such a block into column order instead) */
  JCAMP_WARN_X_GRID = 0x40,        /* the X grid is off the matrix's by more than half a step,
                                      or holds another number of points (the standard mode leaves
                                      such a block out, with a message, or under setGrid
                                      resamples it) */
  JCAMP_WARN_BLOCK_MISSING = 0x80, /* the header counts this block, the file does not hold it */
  JCAMP_WARN_FILE_CHANGED = 0x100, /* the file changed since it was added */
  JCAMP_WARN_NOT_READ = 0x200,     /* the file could not be read at import time */
  JCAMP_WARN_RESAMPLED = 0x400,    /* put onto the grid setGrid asked for by interpolation or
                                      binning (JcampSampleInfo.coverage tells how much of it it
                                      fills); a request, not a suspicion */
  JCAMP_WARN_Y_UNITS = 0x800,      /* under a grid: ##YUNITS= differs from the first row's */
  JCAMP_WARN_TEXT_BEFORE_TITLE = 0x1000, /* blank lines or text before the file's first ##TITLE=
                                           were passed over (standard mode; on the file's first
                                           sample) */
  JCAMP_WARN_UNREAD_TABLE = 0x2000 /* the block holds a data table this reading mode leaves out
                                      (peak assignments, a peak table of widths; NTUPLES and
                                      peak tables in the host-compatible mode, where such a
                                      block's row reads 0) */
};

/*
 * Where a sample came from and what is suspect about its values, in both
 * reading modes. The matrix's grid is that of the first file's first data
 * block, or the one setGrid asked for. Set size to sizeof(JcampSampleInfo)
 * before the call; the library fills at most that many bytes and sets size to
 * what it filled, so the struct may grow at its end. A size below the first four fields gives
 * JCAMP_BAD_ARGUMENT. A sample of a file added after the last import has
 * JCAMP_WARN_NOT_READ.
 */
typedef struct JcampSampleInfo {
  uint32_t size;
  int32_t fileIndex;   /* getFileName index, or -1 */
  int32_t blockIndex;  /* data block of that file, from 0 (counting every block but LINK
                          blocks), or -1 */
  uint32_t checkFlags; /* JcampCheckFlag bits */
  uint32_t warnings;   /* JcampWarning bits */
  int32_t line;        /* line of the file where the first warning arose, from 1; 0 unknown */
  /* Filled when size reaches them: */
  float coverage;   /* a sample with JCAMP_WARN_RESAMPLED: the share of the matrix's X points
                       its values fill, 0 to 1 (the rest are missing); 1 for every other */
  int32_t page;     /* standard mode: the row is page `page` (from 0) of its block, an NTUPLES
                       page or one of several tables of the block, and its sample name ends in
                       " [P]": P is ##PAGE= without blanks ("N=1", "T=12.5"), or "N=<page+1>"
                       for a page without it; -1 for a row of a whole block */
  uint32_t leftOut; /* blocks and pages of the sample's file that the import left out, whole
                       or in part: those the standard mode names in its message box, rows
                       with JCAMP_WARN_UNREAD_TABLE, and blocks past the header's count */
} JcampSampleInfo;
JCAMP_EXPORT int32_t JCAMP_CALL getSampleInfo(uint32_t handle, int32_t sample,
                                              JcampSampleInfo* info);

/*
 * The X grid of a handle's matrix, chosen before its first addFileName (later:
 * JCAMP_MODE_LOCKED). It needs the standard mode: setGrid with a policy other
 * than JCAMP_GRID_NONE on a handle in the host-compatible mode, and
 * setReadingMode(JCAMP_MODE_HOST_COMPATIBLE) while such a grid is set, answer
 * JCAMP_BAD_ARGUMENT. Set size to sizeof(JcampGrid): the struct may grow at
 * its end; a size below this first version's, an unknown policy or an
 * explicit grid the library cannot make (not finite, count below 1 or above
 * JCAMP_GRID_MOST_POINTS, first equal to last with more than one point,
 * units not NUL-terminated) give JCAMP_BAD_ARGUMENT.
 *   JCAMP_GRID_NONE (the default): rows lie on the grid of the first file's
 *     first data block; a block off it is left out, as without setGrid.
 *   JCAMP_GRID_FIRST: the same grid, but a file or block whose grid differs
 *     (another number of points, other X values, other convertible units) is
 *     resampled onto it; addFileName no longer refuses another X count.
 *   JCAMP_GRID_EXPLICIT: count points evenly from first to last (either may
 *     be the larger), in units (empty: the first row's X units).
 *   JCAMP_GRID_OVERLAP: the X range every spectrum covers at the finest step
 *     among them, from the labels of every block of every file
 *     (##FIRSTX=, ##LASTX=, ##NPOINTS=, ##XUNITS=); the README gives the rule.
 * Continuous spectra are interpolated linearly between neighbouring points,
 * never extrapolated (missing beyond their range); a grid point that
 * coincides with a point of the spectrum takes that point's value. Peak
 * tables are binned: each peak adds its intensity to the nearest grid point.
 * X units convert between 1/CM, MICROMETERS and NANOMETERS, and between HZ and
 * PPM with the block's ##.OBSERVE FREQUENCY=; a block in units that do not
 * convert is left out with a message naming both.
 */
enum JcampGridPolicy {
  JCAMP_GRID_NONE = 0,
  JCAMP_GRID_FIRST = 1,
  JCAMP_GRID_EXPLICIT = 2,
  JCAMP_GRID_OVERLAP = 3
};
#define JCAMP_GRID_MOST_POINTS 1048576
typedef struct JcampGrid {
  uint32_t size;
  int32_t policy; /* JcampGridPolicy */
  double first;   /* JCAMP_GRID_EXPLICIT: the first and last X and the number of points */
  double last;
  int32_t count;
  char units[16]; /* JCAMP_GRID_EXPLICIT: the X units, e.g. "1/CM"; "" for the first row's */
} JcampGrid;
JCAMP_EXPORT int32_t JCAMP_CALL setGrid(uint32_t handle, const JcampGrid* grid);

/* Function pointer types for hosts that resolve the exports by name. */
typedef int32_t(JCAMP_CALL* PFN_openHandleUDI)(uint32_t*);
typedef int32_t(JCAMP_CALL* PFN_closeHandleUDI)(uint32_t);
typedef int32_t(JCAMP_CALL* PFN_importDataUI)(uint32_t);
typedef int32_t(JCAMP_CALL* PFN_importData)(uint32_t);
typedef int32_t(JCAMP_CALL* PFN_addFileName)(uint32_t, const char*);
typedef int32_t(JCAMP_CALL* PFN_getNumberOfSamples)(uint32_t, int32_t*);
typedef int32_t(JCAMP_CALL* PFN_getNumberOfVariables)(uint32_t, int32_t*);
typedef int32_t(JCAMP_CALL* PFN_getVariableName)(uint32_t, int32_t, char*);
typedef int32_t(JCAMP_CALL* PFN_getSampleName)(uint32_t, int32_t, char*);
typedef int32_t(JCAMP_CALL* PFN_getData)(uint32_t, int32_t, int32_t, char*);
typedef int32_t(JCAMP_CALL* PFN_getNoOfFiles)(uint32_t, int32_t*);
typedef int32_t(JCAMP_CALL* PFN_getFileName)(uint32_t, int32_t, char*);
typedef void(JCAMP_CALL* PFN_setMessageBoxHandler)(MessageBoxHandler, void*);
typedef int32_t(JCAMP_CALL* PFN_checkFileName)(const char*, char*, uint32_t);
typedef int32_t(JCAMP_CALL* PFN_setReadingMode)(uint32_t, int32_t);
typedef int32_t(JCAMP_CALL* PFN_checkFileNameMode)(const char*, int32_t, char*, uint32_t);
typedef int32_t(JCAMP_CALL* PFN_getValues)(uint32_t, int32_t, int32_t, int32_t, float*);
typedef int32_t(JCAMP_CALL* PFN_getSampleInfo)(uint32_t, int32_t, JcampSampleInfo*);
typedef int32_t(JCAMP_CALL* PFN_setGrid)(uint32_t, const JcampGrid*);

#ifdef __cplusplus
}
#endif

#endif /* JCAMPIMPORT_H */
