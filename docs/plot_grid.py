#!/usr/bin/python3
"""Draws the same three samples as three instruments record them (2 cm-1 steps
in wavenumbers, 10 nm steps in nanometres, 0.02 um steps in micrometres), and
the one matrix jcampimport makes of all nine spectra on a common grid, into
docs/mixed-grid.png. The spectra come from the bench kit's generator:

    JCAMPIMPORT_LIBRARY=build/release/bin/libjcampimport.so.0 docs/plot_grid.py [GEN_JCAMP_PY]
"""
import glob
import os
import subprocess
import sys
import tempfile

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "python"))
import jcampimport  # noqa: E402

# (label, generator options, how its X becomes a wavenumber)
INSTRUMENTS = [
    ("FT-NIR, 2 cm-1 steps", ["--grid", "10000:4000:3001"], lambda x: x),
    ("dispersive, 10 nm steps", ["--grid", "1000:2500:151", "--xunits", "NANOMETERS"],
     lambda x: 1e7 / x),
    ("filter, 0.02 um steps", ["--grid", "1:2.5:76", "--xunits", "MICROMETERS"],
     lambda x: 1e4 / x),
]
GRID = "9000:4200:961:1/CM"  # 5 cm-1 steps where all three instruments see


def generator():
    if len(sys.argv) > 1:
        return sys.argv[1]
    for up in ("..", os.path.join("..", "..")):
        path = os.path.join(HERE, "..", up, "shared", "bench", "gen_jcamp.py")
        if os.path.exists(path):
            return path
    sys.exit("the bench kit's gen_jcamp.py was not found: give its path")


def recorded(work):
    """Each instrument's files, in the order of INSTRUMENTS."""
    sets = []
    for _, options, _ in INSTRUMENTS:
        before = set(os.listdir(work))
        subprocess.run([sys.executable, generator(), "--spectra", "3", "--shape", "files",
                        "--out", work, *options], check=True, stdout=subprocess.DEVNULL)
        (folder,) = set(os.listdir(work)) - before
        sets.append(sorted(glob.glob(os.path.join(work, folder, "*.jdx"))))
    return sets


def main():
    with tempfile.TemporaryDirectory() as work:
        sets = recorded(work)
        own = [jcampimport.read(files) for files in sets]
        together = jcampimport.read([f for files in sets for f in files], grid=GRID)

    figure, (before, after) = plt.subplots(2, 1, figsize=(7, 6.5), dpi=110, sharex=True)
    colours = plt.cm.tab10.colors
    styles = [dict(linestyle="-", linewidth=0.8), dict(linestyle="", marker="o", markersize=4),
              dict(linestyle="", marker="s", markersize=3)]
    for (label, _, to_wavenumber), matrix, colour, style in zip(INSTRUMENTS, own, colours, styles):
        x = [to_wavenumber(value) for value in matrix.x]
        before.plot(x, matrix.values[0], color=colour, label=label, **style)
    before.set_title("Sample 1 as recorded: three instruments, three grids, three X units",
                     fontsize=10)
    before.legend(fontsize=8)
    for row, spectrum in enumerate(together.values):
        instrument = row // 3
        after.plot(together.x, spectrum, color=colours[instrument], linewidth=0.8,
                   label=INSTRUMENTS[instrument][0] if row % 3 == 0 else None)
    after.set_title('jcampimport.read(files, grid="%s"): one matrix of %d x %d'
                    % (GRID, *together.values.shape), fontsize=10)
    after.legend(fontsize=8)
    for axes in (before, after):
        axes.set_ylabel("absorbance")
        axes.set_xlim(10000, 4000)  # wavenumbers run from high to low
    after.set_xlabel("wavenumber (1/cm)")
    figure.tight_layout()
    out = os.path.join(HERE, "mixed-grid.png")
    figure.savefig(out)
    print(out)


if __name__ == "__main__":
    main()
