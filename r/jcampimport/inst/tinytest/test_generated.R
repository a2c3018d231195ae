# Generated sets (the bench kit's generator) against their true values.
sets <- Sys.getenv("JCAMP_GENERATED")
kit <- Sys.getenv("JCAMP_BENCH_KIT")
if (!nzchar(sets) && nzchar(kit) && file.exists(file.path(kit, "gen_jcamp.py"))) {
  sets <- tempfile("sets")
  python <- if (file.exists("/usr/bin/python3")) "/usr/bin/python3" else "python3"
  system2(python, c(shQuote(file.path(kit, "gen_jcamp.py")), "--spectra 3 --points 40",
                       "--form difdup,affn,xypoints --shape files,link --truth --out",
                       shQuote(sets)), stdout = FALSE)
}
truths <- if (nzchar(sets)) list.files(sets, "^truth[.]tsv$", recursive = TRUE, full.names = TRUE)
if (!length(truths)) {
  exit_file("no generated sets (set JCAMP_GENERATED, or JCAMP_BENCH_KIT to the bench kit)")
}

for (truth_file in truths) {
  # Sets of NTUPLES pages have a truth row per page; the library's own tests read them.
  if (startsWith(readLines(truth_file, n = 1), "title\tpage\t")) next
  set <- dirname(truth_file)
  truth <- as.matrix(utils::read.delim(truth_file, row.names = 1, check.names = FALSE))
  m <- read_jcamp(list.files(set, "[.](jdx|dx)$", full.names = TRUE))
  expect_identical(m$x, as.numeric(colnames(truth)), info = set)
  expect_identical(dim(m$values), dim(truth), info = set)
  # Float rounding of the true value, once.
  expect_true(all(abs(m$values - truth) <= 1.2e-7 * abs(truth)), info = set)
}

# The same noise-free spectra in micrometres, resampled onto the wavenumber
# grid of a set: within the bound the kit gives for linear interpolation.
more_sets <- tempfile("grids")
grid_set <- function(pattern, arguments) {
  found <- list.files(sets, pattern, full.names = TRUE)
  if (length(found) || !nzchar(kit)) return(found[1])
  system2(python, c(shQuote(file.path(kit, "gen_jcamp.py")), "--spectra 3 --shape files",
                    "--noise 0 --truth --out", shQuote(more_sets), arguments), stdout = FALSE)
  list.files(more_sets, pattern, full.names = TRUE)[1]
}
python <- if (file.exists("/usr/bin/python3")) "/usr/bin/python3" else "python3"
wavenumbers <- grid_set("^3x3001-difdup-files-g10000_4000_3001-n0$", "--grid 10000:4000:3001")
micrometres <- grid_set("^3x151-difdup-files-g1_2.5_151-um-n0$",
                        "--grid 1:2.5:151 --xunits MICROMETERS")
if (is.na(wavenumbers) || is.na(micrometres)) exit_file("no sets on other grids")
truth <- as.matrix(utils::read.delim(file.path(wavenumbers, "truth.tsv"), row.names = 1,
                                     check.names = FALSE))
m <- read_jcamp(list.files(micrometres, "[.]jdx$", full.names = TRUE),
                grid = "10000:4000:3001:1/CM")
expect_identical(m$x, as.numeric(colnames(truth)))
expect_true(all(m$resampled) && all(m$coverage == 1))
expect_true(max(abs(m$values - truth)) <= 0.013)
