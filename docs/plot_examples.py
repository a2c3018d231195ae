#!/usr/bin/python3
"""Draws the bundled example spectra, coloured by their water content, into
docs/wheat-flour-absorbance.png:

    JCAMPIMPORT_LIBRARY=build/release/bin/libjcampimport.so.0 docs/plot_examples.py
"""
import glob
import os
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "python"))
import jcampimport  # noqa: E402


def label_value(path, name):
    """The first ##NAME= value of a file (its units, here), or None."""
    with open(path, encoding="latin-1") as text:
        for line in text:
            label, _, value = line.partition("=")
            if label.replace(" ", "").upper() == "##" + name:
                return value.strip()
    return None


def main():
    files = sorted(glob.glob(os.path.join(HERE, "..", "examples", "*.jdx")))
    m = jcampimport.read(files)
    colour_by = m.component_names.index("water")
    water = m.concentrations[:, colour_by]
    colours = plt.cm.viridis((water - water.min()) / max(water.max() - water.min(), 1e-9))

    figure, axes = plt.subplots(figsize=(7, 4), dpi=110)
    for name, spectrum, colour, content in zip(m.sample_names, m.values, colours, water):
        axes.plot(m.x, spectrum, marker="o", markersize=3, color=colour,
                  label="%s (%.1f %% water)" % (name, content))
    axes.invert_xaxis()  # wavenumbers run from high to low, as the files write them
    axes.set_xlabel(label_value(files[0], "XUNITS") or "X")
    axes.set_ylabel(label_value(files[0], "YUNITS") or "Y")
    axes.set_title("Bundled example spectra, coloured by water content")
    axes.legend(fontsize=8)
    figure.tight_layout()
    out = os.path.join(HERE, "wheat-flour-absorbance.png")
    figure.savefig(out)
    print(out)


if __name__ == "__main__":
    main()
