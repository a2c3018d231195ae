"""The Python module against the host program and the library's own answers."""
import csv
import io
import math
import os
import subprocess

import numpy as np
import pytest

import jcampimport

HOST_COMPATIBLE = "host-compatible"
STANDARD = "standard"


def program_matrix(program, files, mode, more=()):
    """jcamp-import's CSV: names of the variables, then (name, cells) per row."""
    flags = ["--host-compatible"] if mode == HOST_COMPATIBLE else []
    out = subprocess.run([program, *flags, *more, *files], check=True, capture_output=True).stdout
    rows = list(csv.reader(io.StringIO(out.decode("utf-8"))))
    return rows[0][1:], [(row[0], row[1:]) for row in rows[1:]]


def same_value(cell, value, mode):
    """A CSV cell and a float32 from getValues, as each mode writes values."""
    if math.isnan(value):
        return cell == ("m" if mode == HOST_COMPATIBLE else "")
    if mode == HOST_COMPATIBLE:
        return cell == "%f" % value
    return np.float32(cell) == value


@pytest.fixture(scope="module")
def with_missing(tmp_path_factory):
    """A file with a "?" ordinate and one whose table ends early."""
    path = tmp_path_factory.mktemp("missing") / "missing.jdx"
    path.write_text("##TITLE=gaps\n##JCAMP-DX=4.24\n##DATA TYPE=INFRARED SPECTRUM\n"
                    "##XFACTOR=1\n##YFACTOR=0.5\n##FIRSTX=10\n##LASTX=14\n##NPOINTS=5\n"
                    "##FIRSTY=1\n##XYDATA=(X++(Y..Y))\n10 2 ? 6\n##END=\n")
    return str(path)


@pytest.mark.parametrize("mode", [HOST_COMPATIBLE, STANDARD])
def test_values_and_names_are_the_host_programs(program, examples, generated, with_missing,
                                                 mode):
    sets = [examples, [with_missing], *generated.values()]
    for files in sets:
        matrix = jcampimport.read(files, mode=mode)
        names, rows = program_matrix(program, files, mode)
        assert matrix.variable_names + matrix.component_names == names, files
        assert [name for name, _ in rows] == matrix.sample_names, files
        everything = np.hstack([matrix.values, matrix.concentrations])
        for (_, cells), values in zip(rows, everything):
            assert all(same_value(c, v, mode) for c, v in zip(cells, values)), files
        assert matrix.values.dtype == np.float32
        assert np.array_equal(matrix.x, [float(name) for name in matrix.variable_names])
    assert np.isnan(jcampimport.read([with_missing], mode=mode).values[0, [1, 3, 4]]).all()


def test_grid_resamples_as_the_host_program_does(program, examples, tmp_path):
    micrometres = tmp_path / "micrometres.jdx"
    micrometres.write_text("##TITLE=um\n##JCAMP-DX=4.24\n##DATA TYPE=INFRARED SPECTRUM\n"
                           "##XUNITS=MICROMETERS\n##YUNITS=ABSORBANCE\n##CONCENTRATIONS=(NCU)\n"
                           "(water, 13, %)\n(protein, 11, %)\n##XFACTOR=1\n##YFACTOR=1\n"
                           "##FIRSTX=2.5\n##LASTX=3.25\n##NPOINTS=4\n##FIRSTY=0.1\n"
                           "##XYDATA=(X++(Y..Y))\n2.5 0.1 0.2 0.3 0.4\n##END=\n")
    files = examples + [str(micrometres)]
    for grid, option in [("first", "first"), ((4000, 3100, 4, "1/CM"), "4000:3100:4:1/CM")]:
        matrix = jcampimport.read(files, grid=grid)
        names, rows = program_matrix(program, files, STANDARD, ["--grid", option])
        assert matrix.variable_names + matrix.component_names == names
        everything = np.hstack([matrix.values, matrix.concentrations])
        for (_, cells), values in zip(rows, everything):
            assert all(same_value(c, v, STANDARD) for c, v in zip(cells, values)), grid
        # 4000 cm-1 is 2.5 um: the file's own first value.
        assert matrix.values[-1, 0] == np.float32(0.1)
        assert matrix.resampled[-1] and matrix.coverage[-1] == 1
    assert matrix.resampled.tolist() == [True] * 5 and matrix.x.tolist() == [4000, 3700, 3400, 3100]
    assert not jcampimport.read(files, grid="first").resampled[:4].any()
    for wrong in ["sideways", "1:2", "1:2:0", "1:1:5", (1, 2, 2.5), "1:2:3:" + "U" * 16]:
        with pytest.raises(ValueError):
            jcampimport.read(files, grid=wrong)
    with pytest.raises(ValueError, match="standard"):
        jcampimport.read(files, mode=HOST_COMPATIBLE, grid="first")


def test_sources_and_concentrations(examples):
    matrix = jcampimport.read(examples)
    assert [(os.path.basename(s.file), s.block) for s in matrix.sources] == [
        ("wheat-a.jdx", 0), ("wheat-b.jdx", 0), ("wheat-pair.jdx", 0), ("wheat-pair.jdx", 1)]
    assert matrix.component_names == ["water", "protein"]
    assert matrix.concentrations[0].tolist() == pytest.approx([12.5, 11.8])
    assert matrix.warnings == [] and matrix.skipped == []


def test_refusals_carry_the_readers_message(tmp_path, examples):
    empty = tmp_path / "empty.jdx"
    empty.write_bytes(b"")
    missing = str(tmp_path / "missing.jdx")
    cases = [(str(empty), 2, "General JCAMP format error"), (missing, 0, "General file IO error")]
    for path, status, message in cases:
        with pytest.raises(jcampimport.JcampError) as raised:
            jcampimport.check(path)
        assert (raised.value.status, raised.value.message) == (status, message)
        with pytest.raises(jcampimport.JcampError) as raised:
            jcampimport.read([examples[0], path], on_error="raise")
        assert raised.value.path == path and raised.value.message.startswith(message)

    kept = jcampimport.read([examples[0], missing, examples[1]], on_error="skip")
    assert kept.values.shape[0] == 2 and [e.path for e in kept.skipped] == [missing]
    stopped = jcampimport.read([examples[0], missing, examples[1]], on_error="stop")
    assert stopped.values.shape[0] == 1 and [e.path for e in stopped.skipped] == [missing]
    assert jcampimport.check(examples[0]).x_count == 10


def test_to_pandas_is_read_as_one_frame(examples):
    pandas = pytest.importorskip("pandas")
    matrix = jcampimport.read(examples)
    frame = matrix.to_pandas()
    assert isinstance(frame, pandas.DataFrame)
    assert list(frame.index) == matrix.sample_names
    assert list(frame.columns) == matrix.variable_names + matrix.component_names
    everything = np.hstack([matrix.values, matrix.concentrations])
    assert np.array_equal(frame.to_numpy(), everything, equal_nan=True)
    assert frame.isna().to_numpy().sum() == 1  # wheat D's "?" ordinate


NMR_PAGES = (
    "##TITLE=NMR [1]\n##DATA TYPE=NMR SPECTRUM\n##DATA CLASS=NTUPLES\n##NTUPLES=NMR SPECTRUM\n"
    "##SYMBOL=X, R, I, N\n##VAR_DIM=4, 4, 4, 2\n##FIRST=40, 10, 40, 1\n##LAST=10, 40, 10, 2\n"
    "##FACTOR=10, 1, 2, 1\n##PAGE=N=1\n##DATA TABLE=(X++(R..R)), XYDATA\n4 10J0J0J0\n"
    "##PAGE=N=2\n##DATA TABLE=(X++(I..I)), XYDATA\n4 20 15 10 5\n##END NTUPLES=NMR SPECTRUM\n"
    "##END=\n")
LINK_PEAKS = (
    "##TITLE=set\n##DATA TYPE=LINK\n##BLOCKS=2\n##TITLE=ir\n##DATA TYPE=INFRARED SPECTRUM\n"
    "##XFACTOR=1\n##YFACTOR=1\n##FIRSTX=1\n##LASTX=2\n##NPOINTS=2\n##FIRSTY=5\n"
    "##XYDATA=(X++(Y..Y))\n1 5 6\n##END=\n##TITLE=peaks\n##DATA TYPE=INFRARED PEAK TABLE\n"
    "##NPOINTS=3\n##PEAK TABLE=(XY..XY)\n1, 5; 2, 6; 3, 7\n##END=\n##END=\n")


def test_pages_are_rows_whose_names_give_the_page(tmp_path):
    path = tmp_path / "pages.jdx"
    path.write_text(NMR_PAGES)
    matrix = jcampimport.read([str(path)])
    assert matrix.sample_names == ["NMR [1] [N=1]", "NMR [1] [N=2]"]
    assert matrix.pages == [jcampimport.Page("NMR [1]", "N=1"), jcampimport.Page("NMR [1]", "N=2")]
    assert matrix.x.tolist() == [40, 30, 20, 10]
    assert matrix.values.tolist() == [[10, 20, 30, 40], [40, 30, 20, 10]]
    assert jcampimport.check(str(path))[:6] == (2, 4, 0, 40, 10, "NTUPLES")
    with pytest.raises(jcampimport.JcampError):
        jcampimport.read([str(path)], mode=HOST_COMPATIBLE, on_error="raise")


@pytest.mark.parametrize("mode", [HOST_COMPATIBLE, STANDARD])
def test_a_block_left_out_is_counted(tmp_path, mode):
    path = str(tmp_path / "link.jdx")
    with open(path, "w") as out:
        out.write(LINK_PEAKS)
    matrix = jcampimport.read([path], mode=mode)
    assert matrix.left_out == {path: 1} and matrix.pages == [None] * len(matrix.sample_names)
    if mode == HOST_COMPATIBLE:
        assert matrix.warnings[-1].kinds[-1] == "unread-table"
    else:
        assert "block 2: 3 X points, not 2" in matrix.skipped[0].message
