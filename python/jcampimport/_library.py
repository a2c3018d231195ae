"""The jcampimport library, found and bound with ctypes."""

import ctypes
import ctypes.util
import glob
import os
import sys

_ENVIRONMENT_VARIABLE = "JCAMPIMPORT_LIBRARY"

if sys.platform == "win32":
    _PATTERNS = ("jcampimport.dll",)
elif sys.platform == "darwin":
    _PATTERNS = ("libjcampimport.dylib", "libjcampimport.*.dylib")
else:
    _PATTERNS = ("libjcampimport.so", "libjcampimport.so.*")

# Folders above the package that may be an install prefix holding lib/: the
# package installed beside the library (pip into the same prefix, or a copy
# of the source tree's python/ folder in an installed tree).
_PREFIX_LEVELS = 5


def _matches(folder):
    for pattern in _PATTERNS:
        found = sorted(glob.glob(os.path.join(folder, pattern)))
        if found:
            return found[0]
    return None


def _candidate_folders():
    package = os.path.dirname(os.path.abspath(__file__))
    yield package
    folder = package
    for _ in range(_PREFIX_LEVELS):
        folder = os.path.dirname(folder)
        yield os.path.join(folder, "lib")
        yield os.path.join(folder, "bin")
    for prefix in (sys.prefix, os.path.expanduser("~/.local"), "/usr/local"):
        yield os.path.join(prefix, "lib")


def find_library():
    """The path of the library: $JCAMPIMPORT_LIBRARY, next to the package, or in
    the install prefix; None when there is none."""
    chosen = os.environ.get(_ENVIRONMENT_VARIABLE)
    if chosen:
        return chosen
    for folder in _candidate_folders():
        found = _matches(folder)
        if found:
            return found
    return ctypes.util.find_library("jcampimport")


MESSAGE_BOX_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int32, ctypes.c_char_p, ctypes.c_uint32,
                                       ctypes.c_void_p)


class SampleInfo(ctypes.Structure):
    _fields_ = [
        ("size", ctypes.c_uint32),
        ("file_index", ctypes.c_int32),
        ("block_index", ctypes.c_int32),
        ("check_flags", ctypes.c_uint32),
        ("warnings", ctypes.c_uint32),
        ("line", ctypes.c_int32),
        ("coverage", ctypes.c_float),
        ("page", ctypes.c_int32),
        ("left_out", ctypes.c_uint32),
    ]


class Grid(ctypes.Structure):
    _fields_ = [
        ("size", ctypes.c_uint32),
        ("policy", ctypes.c_int32),
        ("first", ctypes.c_double),
        ("last", ctypes.c_double),
        ("count", ctypes.c_int32),
        ("units", ctypes.c_char * 16),
    ]


_u32, _i32 = ctypes.c_uint32, ctypes.c_int32
_SIGNATURES = {
    "openHandleUDI": [ctypes.POINTER(_u32)],
    "closeHandleUDI": [_u32],
    "importData": [_u32],
    "addFileName": [_u32, ctypes.c_char_p],
    "getNumberOfSamples": [_u32, ctypes.POINTER(_i32)],
    "getNumberOfVariables": [_u32, ctypes.POINTER(_i32)],
    "getVariableName": [_u32, _i32, ctypes.c_char_p],
    "getSampleName": [_u32, _i32, ctypes.c_char_p],
    "getNoOfFiles": [_u32, ctypes.POINTER(_i32)],
    "getFileName": [_u32, _i32, ctypes.c_char_p],
    "checkFileNameMode": [ctypes.c_char_p, _i32, ctypes.c_char_p, _u32],
    "setReadingMode": [_u32, _i32],
    "getValues": [_u32, _i32, _i32, _i32, ctypes.c_void_p],
    "getSampleInfo": [_u32, _i32, ctypes.POINTER(SampleInfo)],
    "setGrid": [_u32, ctypes.POINTER(Grid)],
}

_loaded = None


def library():
    """The loaded library with its exports typed; loaded on first use."""
    global _loaded
    if _loaded is None:
        path = find_library()
        if path is None:
            raise OSError("the jcampimport library was not found: set %s to its path"
                          % _ENVIRONMENT_VARIABLE)
        lib = ctypes.CDLL(path)
        for name, arguments in _SIGNATURES.items():
            function = getattr(lib, name)
            function.argtypes = arguments
            function.restype = _i32
        lib.setMessageBoxHandler.argtypes = [MESSAGE_BOX_HANDLER, ctypes.c_void_p]
        lib.setMessageBoxHandler.restype = None
        _loaded = lib
    return _loaded
