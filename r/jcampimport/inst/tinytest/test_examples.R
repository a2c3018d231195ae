# The matrix against jcamp-import's CSV of the same files, value for value.
source("helpers.R", local = TRUE)

# A "?" ordinate and a table that ends early: missing values.
gaps <- tempfile(fileext = ".jdx")
writeLines(c("##TITLE=gaps", "##JCAMP-DX=4.24", "##DATA TYPE=INFRARED SPECTRUM",
             "##XFACTOR=1", "##YFACTOR=0.5", "##FIRSTX=10", "##LASTX=14", "##NPOINTS=5",
             "##FIRSTY=1", "##XYDATA=(X++(Y..Y))", "10 2 ? 6", "##END="), gaps)

# A double rounded to single precision, as the program's shortest texts read back.
as_float <- function(v) readBin(writeBin(v, raw(), size = 4L), "double", size = 4L, n = length(v))

program <- Sys.getenv("JCAMP_IMPORT_PROGRAM", unname(Sys.which("jcamp-import")))
if (!nzchar(program)) exit_file("jcamp-import not found (set JCAMP_IMPORT_PROGRAM)")

program_matrix <- function(files, mode, more = character()) {
  flags <- c(if (mode == "host-compatible") "--host-compatible", more)
  out <- system2(program, c(flags, shQuote(files)), stdout = TRUE, stderr = FALSE)
  utils::read.csv(text = out, colClasses = "character", check.names = FALSE,
                  na.strings = character(), encoding = "UTF-8")
}

for (mode in c("standard", "host-compatible")) {
  for (files in list(examples, gaps)) {
    m <- read_jcamp(files, mode = mode)
    csv <- program_matrix(files, mode)
    expect_identical(c(colnames(m$values), colnames(m$concentrations)), names(csv)[-1], info = mode)
    expect_identical(rownames(m$values), csv$Sample, info = mode)
    expect_identical(rownames(m$concentrations), csv$Sample, info = mode)
    values <- unname(cbind(m$values, m$concentrations))
    cells <- unname(as.matrix(csv[-1]))
    missing <- is.na(values)
    expect_identical(missing, cells == if (mode == "standard") "" else "m", info = mode)
    written <- if (mode == "standard") {
      as_float(as.numeric(cells[!missing])) == values[!missing]
    } else {
      sprintf("%f", values[!missing]) == cells[!missing]
    }
    expect_true(all(written), info = paste(mode, files[1]))
    expect_identical(m$x, as.numeric(colnames(m$values)))
  }
}
expect_true(all(is.na(read_jcamp(gaps)$values[1, c(2, 4, 5)])))

# Resampled onto a grid as the program resamples, micrometres onto wavenumbers.
micrometres <- tempfile(fileext = ".jdx")
writeLines(c("##TITLE=um", "##JCAMP-DX=4.24", "##DATA TYPE=INFRARED SPECTRUM",
             "##XUNITS=MICROMETERS", "##YUNITS=ABSORBANCE", "##CONCENTRATIONS=(NCU)",
             "(water, 13, %)", "(protein, 11, %)", "##XFACTOR=1", "##YFACTOR=1",
             "##FIRSTX=2.5", "##LASTX=3.25", "##NPOINTS=4", "##FIRSTY=0.1",
             "##XYDATA=(X++(Y..Y))", "2.5 0.1 0.2 0.3 0.4", "##END="), micrometres)
for (grid in c("first", "4000:3100:4:1/CM")) {
  files <- c(examples, micrometres)
  m <- read_jcamp(files, grid = grid)
  csv <- program_matrix(files, "standard", c("--grid", grid))
  expect_identical(c(colnames(m$values), colnames(m$concentrations)), names(csv)[-1], info = grid)
  values <- unname(cbind(m$values, m$concentrations))
  cells <- unname(as.matrix(csv[-1]))
  expect_identical(is.na(values), cells == "", info = grid)
  expect_true(all(as_float(as.numeric(cells[!is.na(values)])) == values[!is.na(values)]),
              info = grid)
  expect_identical(m$values[5, 1], as_float(0.1), info = grid)  # 4000 cm-1 is 2.5 um
  expect_identical(c(m$resampled[5], m$coverage[5]), c(TRUE, 1), info = grid)
}
expect_stdout(print(m), "5 rows resampled onto the grid")

m <- read_jcamp(examples)
expect_identical(m$sources, data.frame(file = examples[c(1, 2, 3, 3)], block = c(1L, 1L, 1L, 2L)))
expect_identical(colnames(m$concentrations), c("water", "protein"))
expect_equal(unname(m$concentrations[1, ]), c(12.5, 11.8), tolerance = 1e-6)
expect_identical(c(nrow(m$warnings), nrow(m$skipped)), c(0L, 0L))
frame <- as.data.frame(m)
expect_identical(dim(frame), c(4L, 12L))
expect_identical(names(frame), c(colnames(m$values), "water", "protein"))
expect_identical(row.names(frame), rownames(m$values))
expect_identical(frame[[2]], unname(m$values[, 2]))
expect_stdout(print(m), "4 spectra x 10 X points")
