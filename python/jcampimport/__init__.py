"""Read JCAMP-DX spectra into numpy arrays through the jcampimport library.

    import jcampimport
    m = jcampimport.read(["a.jdx", "b.jdx"])   # standard mode, unreadable files skipped
    m.values             # float32, one row per spectrum, one column per X point, NaN if missing
    m.x                  # the abscissas of those columns (float64)
    m.concentrations     # float32, one column per ##CONCENTRATIONS= component
    m.pages              # per row: Page(title, page) for a page of its block, else None
    jcampimport.read(files, grid="4000:400:3601:1/CM")   # every spectrum resampled onto one grid
    jcampimport.check("a.jdx")                 # the file's shape, or JcampError
"""

import ctypes
import math
import threading
from collections import namedtuple

import numpy as np

from ._library import MESSAGE_BOX_HANDLER, Grid, SampleInfo, find_library, library

__all__ = ["read", "check", "Matrix", "Shape", "Source", "Warning", "Page", "JcampError",
           "find_library"]

_MODES = {"host-compatible": 0, "standard": 1}
_ON_ERROR = ("skip", "stop", "raise")
_GRID_POLICIES = {"first": 1, "overlap": 3}
_GRID_EXPLICIT = 2
_GRID_MOST_POINTS = 1048576
_GRID_USAGE = ('grid must be None, "first", "overlap", "FIRST:LAST:COUNT[:UNITS]" or a tuple '
               "(first, last, count[, units])")

_OK = 0
_IMPORT_FAILED = 4096
_SHAPE_MISMATCH = 4098
_HEADER_OK = 100
_ANSWER_OK, _ANSWER_CANCEL = 1, 2

_NAME_BUFFER = 4096  # longer than any name the library writes
_MESSAGE_BUFFER = 1024

# The warning bits of JcampSampleInfo, by the names Warning.kinds uses.
_WARNING_NAMES = (
    (0x1, "no-factor"),
    (0x2, "truncated"),
    (0x4, "decimal-split"),
    (0x8, "last-dropped"),
    (0x10, "precision"),
    (0x20, "x-reversed"),
    (0x40, "x-grid"),
    (0x80, "block-missing"),
    (0x100, "file-changed"),
    (0x200, "not-read"),
    (0x800, "y-units"),
    (0x1000, "text-before-title"),
    (0x2000, "unread-table"),
)
# Put onto the grid asked for: a request, not a suspicion (Matrix.resampled).
_RESAMPLED = 0x400

Shape = namedtuple("Shape", "samples x_count y_count first_x last_x table title origin owner")
Source = namedtuple("Source", "file block")
Warning = namedtuple("Warning", "row file block kinds line")
# A row that is one page of its block: the block's name and the page ("N=1", "T=12.5").
Page = namedtuple("Page", "title page")

# The library's message box handler is process-wide: one import at a time installs it.
_handler_lock = threading.Lock()


class JcampError(Exception):
    """A file that cannot be read: the library's status and message."""

    def __init__(self, status, message, path=None):
        super().__init__("%s: %s (status %d)" % (path, message, status) if path else
                         "%s (status %d)" % (message, status))
        self.status = status
        self.message = message
        self.path = path


def _text(raw):
    """Library text: UTF-8 where it is valid, Latin-1 otherwise."""
    try:
        return raw.decode("utf-8")
    except UnicodeDecodeError:
        return raw.decode("latin-1")


def _path_bytes(path):
    return path if isinstance(path, bytes) else str(path).encode("utf-8")


def _mode_number(mode):
    try:
        return _MODES[mode]
    except KeyError:
        raise ValueError("mode must be one of %s" % ", ".join(_MODES)) from None


def _check_status(path, mode):
    message = ctypes.create_string_buffer(_MESSAGE_BUFFER)
    status = library().checkFileNameMode(_path_bytes(path), mode, message, _MESSAGE_BUFFER)
    return status, _text(message.value)


def check(path, mode="standard"):
    """The shape of one file as the import would measure it; JcampError when
    the file would be refused."""
    status, message = _check_status(path, _mode_number(mode))
    if status != _HEADER_OK:
        raise JcampError(status, message, str(path))
    fields = message.split("\t")
    numbers = [int(field) for field in fields[:5]]
    return Shape(*numbers, *fields[5:9])


class Matrix:
    """The result of an import: one row per spectrum (data block)."""

    def __init__(self, values, x, variable_names, concentrations, component_names,
                 sample_names, sources, warnings, skipped, resampled=None, coverage=None,
                 pages=None, left_out=None):
        self.values = values
        self.x = x
        self.variable_names = variable_names
        self.concentrations = concentrations
        self.component_names = component_names
        self.sample_names = sample_names
        self.sources = sources
        self.warnings = warnings
        self.skipped = skipped
        rows = values.shape[0]
        # Per row: whether it was resampled onto the grid asked for, and the
        # share of the grid's points it fills (1 for a row not resampled).
        self.resampled = np.zeros(rows, bool) if resampled is None else resampled
        self.coverage = np.ones(rows, np.float32) if coverage is None else coverage
        self.pages = pages if pages is not None else [None] * len(sample_names)
        # Per file: the blocks and pages the import left out, whole or in part.
        self.left_out = left_out if left_out is not None else {}

    def __repr__(self):
        return "<jcampimport.Matrix %d spectra x %d points, %d components>" % (
            self.values.shape[0], self.values.shape[1], self.concentrations.shape[1])

    def to_pandas(self):
        """One DataFrame: the spectra's columns, then the components'; rows by sample name."""
        import pandas

        columns = list(self.variable_names) + list(self.component_names)
        data = np.hstack([self.values, self.concentrations])
        return pandas.DataFrame(data, index=list(self.sample_names), columns=columns)


class _Handle:
    def __init__(self, mode, grid=None):
        self.lib = library()
        self.number = ctypes.c_uint32(0)
        if self.lib.openHandleUDI(ctypes.byref(self.number)) != _OK:
            raise OSError("the library cannot open an import handle")
        result = self.lib.setReadingMode(self.number, mode)
        if result != _OK:
            self.close()
            raise ValueError("the library refused reading mode %d (result %d)" % (mode, result))
        if grid is not None:
            result = self.lib.setGrid(self.number, ctypes.byref(grid))
            if result != _OK:
                self.close()
                raise ValueError("the library cannot make this grid (result %d)%s" % (
                    result, "; it needs mode=\"standard\"" if mode != _MODES["standard"] else ""))

    def close(self):
        if self.number is not None:
            self.lib.closeHandleUDI(self.number)
            self.number = None

    def __enter__(self):
        return self

    def __exit__(self, *exception):
        self.close()

    def count(self, getter):
        value = ctypes.c_int32(0)
        result = getter(self.number, ctypes.byref(value))
        return value.value if result == _OK else 0

    def text(self, getter, index):
        buffer = ctypes.create_string_buffer(_NAME_BUFFER)
        return _text(buffer.value) if getter(self.number, index, buffer) == _OK else ""


class _MessageBoxes:
    """Answers the library's message box for an unreadable file: OK goes on
    without the file, Cancel stops the import. Remembers what it was told."""

    def __init__(self, go_on):
        self.go_on = go_on
        self.messages = []
        self.callback = MESSAGE_BOX_HANDLER(self._answer)

    def _answer(self, text, _type, _context):
        self.messages.append(_text(text))
        return _ANSWER_OK if self.go_on else _ANSWER_CANCEL

    def __enter__(self):
        _handler_lock.acquire()
        library().setMessageBoxHandler(self.callback, None)
        return self

    def __exit__(self, *exception):
        library().setMessageBoxHandler(MESSAGE_BOX_HANDLER(), None)
        _handler_lock.release()


def _failed_path(message):
    """The file a message box names ("Reading file PATH:\\n...")."""
    head = message.split("\n", 1)[0]
    prefix = "Reading file "
    return head[len(prefix):-1] if head.startswith(prefix) and head.endswith(":") else None


def _refusal(path, result, mode, first_shape):
    status, message = _check_status(path, mode)
    if result == _SHAPE_MISMATCH and status == _HEADER_OK:
        shape = message.split("\t")
        message = ("%s X points and %s concentrations, where the first file has %s and %s"
                   % (shape[1], shape[2], first_shape[1], first_shape[2]))
        status = result
    return JcampError(status, message, str(path))


def _add_files(handle, paths, mode, on_error):
    """Adds the files; returns the added paths and the refusals (stopping at
    the first one with on_error="stop")."""
    added, refused, first_shape = [], [], None
    for path in paths:
        result = handle.lib.addFileName(handle.number, _path_bytes(path))
        if result == _OK:
            added.append(path)
            if first_shape is None:
                first_shape = _check_status(path, mode)[1].split("\t")
            continue
        error = _refusal(path, result, mode, first_shape or ["", "?", "?"])
        if on_error == "raise":
            raise error
        refused.append(error)
        if on_error == "stop":
            break
    return added, refused


def _warning_kinds(bits):
    return tuple(name for bit, name in _WARNING_NAMES if bits & bit)


def _grid(grid):
    """The library's grid for read()'s grid argument; None for none."""
    if grid is None:
        return None
    made = Grid()
    made.size = ctypes.sizeof(Grid)
    if isinstance(grid, str) and grid in _GRID_POLICIES:
        made.policy = _GRID_POLICIES[grid]
        return made
    parts = grid.split(":") if isinstance(grid, str) else list(grid)
    if len(parts) not in (3, 4):
        raise ValueError(_GRID_USAGE)
    try:
        first, last, count = (float(part) for part in parts[:3])
    except (TypeError, ValueError):
        raise ValueError(_GRID_USAGE) from None
    units = str(parts[3]).encode("utf-8") if len(parts) == 4 else b""
    if (not all(math.isfinite(number) for number in (first, last, count))
            or count != int(count) or not 1 <= count <= _GRID_MOST_POINTS
            or (count > 1 and first == last) or len(units) >= Grid.units.size):
        raise ValueError(_GRID_USAGE)
    count = int(count)
    made.policy = _GRID_EXPLICIT
    made.first, made.last, made.count, made.units = first, last, count, units
    return made


def _page(name, page):
    """The page a row's name ends in (" [N=1]"), with the block's part before it."""
    cut = name.rfind(" [")
    if page < 0 or cut < 0 or not name.endswith("]"):
        return None
    return Page(name[:cut], name[cut + 2:-1])


def _collect(handle, files, x_count, skipped):
    lib, number = handle.lib, handle.number
    samples = handle.count(lib.getNumberOfSamples)
    variables = handle.count(lib.getNumberOfVariables)
    everything = np.empty((samples, variables), dtype=np.float32)
    for row in range(samples):
        lib.getValues(number, row, 0, variables, everything[row].ctypes.data)
    names = [handle.text(lib.getVariableName, i) for i in range(variables)]
    x_count = min(max(x_count, 0), variables)
    sample_names = [handle.text(lib.getSampleName, row) for row in range(samples)]
    sources, warnings, pages, left_out = [], [], [], {}
    resampled = np.zeros(samples, bool)
    coverage = np.ones(samples, np.float32)
    for row in range(samples):
        info = SampleInfo()
        info.size = ctypes.sizeof(SampleInfo)
        lib.getSampleInfo(number, row, ctypes.byref(info))
        file = files[info.file_index] if 0 <= info.file_index < len(files) else None
        block = info.block_index if info.block_index >= 0 else None
        sources.append(Source(file, block))
        resampled[row] = bool(info.warnings & _RESAMPLED)
        coverage[row] = info.coverage if resampled[row] else 1.0
        filled = info.size >= ctypes.sizeof(SampleInfo)
        pages.append(_page(sample_names[row], info.page) if filled else None)
        if filled and info.left_out and file is not None:
            left_out[file] = info.left_out
        kinds = _warning_kinds(info.warnings)
        if kinds:
            warnings.append(Warning(row, file, block, kinds, info.line or None))
    return Matrix(
        values=np.ascontiguousarray(everything[:, :x_count]),
        x=np.array([_abscissa(name) for name in names[:x_count]], dtype=np.float64),
        variable_names=names[:x_count],
        concentrations=np.ascontiguousarray(everything[:, x_count:]),
        component_names=names[x_count:],
        sample_names=sample_names,
        sources=sources,
        warnings=warnings,
        skipped=skipped,
        resampled=resampled,
        coverage=coverage,
        pages=pages,
        left_out=left_out)


def _abscissa(name):
    try:
        return float(name)
    except ValueError:
        return float("nan")


def _import(paths, mode, on_error, grid):
    """One import of paths. Returns (matrix or None, refusals, the path that
    stopped the import or None)."""
    with _Handle(mode, grid) as handle:
        added, refused = _add_files(handle, paths, mode, on_error)
        if not added:
            return None, refused, None
        with _MessageBoxes(go_on=on_error == "skip") as boxes:
            result = handle.lib.importData(handle.number)
        unread = [JcampError(0, message.split("\n", 2)[1] if "\n" in message else message,
                             _failed_path(message)) for message in boxes.messages]
        if result == _IMPORT_FAILED:
            return None, refused + unread, unread[-1].path if unread else None
        if result != _OK:
            raise JcampError(result, "the import failed")
        # The last variables are the first file's components; the X points
        # before them are its own, or the grid's.
        y_count = int(_check_status(added[0], mode)[1].split("\t")[2])
        x_count = handle.count(handle.lib.getNumberOfVariables) - y_count
        return _collect(handle, [str(path) for path in added], x_count, refused + unread), [], None


def read(paths, mode="standard", on_error="skip", strict=False, grid=None):
    """Imports JCAMP-DX files into one Matrix, every data block a row.

    mode: "standard" reads files as the JCAMP-DX standard means them;
      "host-compatible" exactly as the plug-in reads them for its hosts.
    on_error: "skip" leaves files that cannot be read out (listed in
      Matrix.skipped); "stop" keeps the files before the first such file;
      "raise" raises JcampError.
    strict: a file whose values draw a warning counts as unreadable.
    grid: None keeps the first file's first block's X grid (a block off it is
      skipped); "first" resamples the others onto it; "overlap" onto the range
      every spectrum covers at their finest step; "FIRST:LAST:COUNT[:UNITS]" or
      (first, last, count[, units]) onto COUNT points from FIRST to LAST, in
      UNITS (1/CM, MICROMETERS, NANOMETERS, HZ, PPM, ...; default the first
      spectrum's). Needs mode="standard". Matrix.resampled and
      Matrix.coverage tell which rows were resampled and how much they fill.
    """
    if isinstance(paths, (str, bytes)) or hasattr(paths, "__fspath__"):
        paths = [paths]
    paths = list(paths)
    mode_number = _mode_number(mode)
    if on_error not in _ON_ERROR:
        raise ValueError("on_error must be one of %s" % ", ".join(_ON_ERROR))
    library_grid = _grid(grid)
    skipped = []
    while True:
        matrix, refused, stopped_at = _import(paths, mode_number, on_error, library_grid)
        if stopped_at is not None:
            # Cancel discarded the import: read the files before the failed one.
            if on_error == "raise":
                raise refused[-1]
            skipped.extend(refused)
            paths = paths[:[str(p) for p in paths].index(stopped_at)]
            on_error = "skip"
            continue
        if matrix is None:
            if on_error == "raise" and refused:
                raise refused[0]
            skipped.extend(refused)
            return _empty(skipped)
        matrix.skipped = skipped + matrix.skipped
        suspect = _suspect_files(matrix) if strict else []
        if not suspect:
            return matrix
        errors = [JcampError(0, "its values are suspect: " + ", ".join(kinds), path)
                  for path, kinds in suspect]
        if on_error == "raise":
            raise errors[0]
        skipped = matrix.skipped + (errors if on_error == "skip" else errors[:1])
        keep = [str(p) for p in paths]
        if on_error == "skip":
            paths = [p for p, text in zip(paths, keep) if text not in dict(suspect)]
        else:
            paths = paths[:keep.index(suspect[0][0])]
        strict = False


def _suspect_files(matrix):
    """(path, kinds) for every file with a warning, in file order."""
    found = {}
    for warning in matrix.warnings:
        if warning.file is not None:
            found.setdefault(warning.file, set()).update(warning.kinds)
    return [(path, tuple(sorted(kinds))) for path, kinds in found.items()]


def _empty(skipped):
    return Matrix(np.empty((0, 0), np.float32), np.empty(0), [], np.empty((0, 0), np.float32),
                  [], [], [], [], skipped)
