import os
import sys

import pytest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))

REPOSITORY = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))


@pytest.fixture(scope="session")
def program():
    """The jcamp-import built beside the library under test."""
    path = os.environ.get("JCAMP_IMPORT_PROGRAM")
    if not path:
        pytest.skip("JCAMP_IMPORT_PROGRAM is not set")
    return path


@pytest.fixture(scope="session")
def examples():
    folder = os.path.join(REPOSITORY, "examples")
    return sorted(os.path.join(folder, name) for name in os.listdir(folder))


@pytest.fixture(scope="session")
def generated(tmp_path_factory):
    """One small spectrum set in three forms, written by the shared generator."""
    # The shared folder sits beside the checkout, or beside its worktree folder.
    candidates = [os.path.join(REPOSITORY, *up, "shared", "bench", "gen_jcamp.py")
                  for up in ([".."], ["..", ".."])]
    generator = os.environ.get("JCAMP_GENERATOR") or next(
        (path for path in candidates if os.path.exists(path)), candidates[0])
    if not os.path.exists(generator):
        pytest.skip("the spectrum generator is not there (set JCAMP_GENERATOR)")
    import subprocess

    out = tmp_path_factory.mktemp("generated")
    subprocess.run([sys.executable, generator, "--spectra", "6", "--points", "120", "--form",
                    "difdup,affn,xypoints", "--shape", "files,link", "--out", str(out)],
                   check=True, stdout=subprocess.DEVNULL)
    return {name: sorted(os.path.join(out, name, f) for f in os.listdir(out / name)
                         if f.endswith((".jdx", ".dx")))
            for name in os.listdir(out) if (out / name).is_dir()}
