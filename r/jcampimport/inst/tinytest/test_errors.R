# Refusals and failures: conditions with the library's codes, and on_error.
source("helpers.R", local = TRUE)
a <- examples[1]
b <- examples[2]
missing <- file.path(tempdir(), "missing.jdx")
empty <- tempfile(fileext = ".jdx")
file.create(empty)
caught <- function(expr) tryCatch(expr, jcamp_error = identity)

shape <- check_jcamp(examples[3])
expect_identical(shape[c("kind", "blocks", "points", "concentrations", "first_x", "last_x")],
                 list(kind = "XYDATA", blocks = 2L, points = 10L, concentrations = 2L,
                      first_x = 4000, last_x = 3100))
expect_identical(shape$compatible, c("host-compatible" = TRUE, standard = TRUE))
expect_stdout(print(shape), "2 blocks of 10 X points")

# File, scan status and reason of a header the scan refuses.
for (case in list(list(empty, 2L, "General JCAMP format error"),
                  list(missing, 0L, "General file IO error: No such file or directory"))) {
  error <- caught(check_jcamp(case[[1]]))
  expect_inherits(error, "jcamp_error")
  expect_identical(error[c("file", "result", "status", "reason")],
                   list(file = case[[1]], result = 4104L, status = case[[2]], reason = case[[3]]))
  error <- caught(read_jcamp(c(a, case[[1]]), on_error = "raise"))
  expect_identical(c(error$file, error$result), c(case[[1]], "4104"))
}
kept <- read_jcamp(c(a, missing, b))
expect_identical(c(nrow(kept$values), kept$skipped$file), c("2", missing))
stopped <- read_jcamp(c(a, missing, b), on_error = "stop")
expect_identical(c(nrow(stopped$values), stopped$skipped$file), c("1", missing))

# Another number of points than the first file's: 4098, both shapes in words.
short <- variant(a, "^##NPOINTS=10" = "##NPOINTS=5", "^##LASTX=3100" = "##LASTX=3600")
m <- read_jcamp(c(a, short))
expect_identical(m$skipped$result, 4098L)
expect_true(grepl("5 X points .* 10 X points", m$skipped$reason))

# A block off the first block's grid is left out while importing, as a block.
offgrid <- variant(b, "^##FIRSTX=4000" = "##FIRSTX=5000", "^##LASTX=3100" = "##LASTX=4100",
                   "^4000 " = "5000 ", "^3500 " = "4500 ")
m <- read_jcamp(c(a, offgrid, b))
expect_identical(rownames(m$values), c("Wheat flour, batch A", "Wheat flour B"))
expect_identical(m$skipped[c("file", "block")], data.frame(file = offgrid, block = 1L))
expect_identical(nrow(read_jcamp(c(a, offgrid, b), on_error = "stop")$values), 1L)
expect_identical(caught(read_jcamp(c(a, offgrid, b), on_error = "raise"))$file, offgrid)

# A header that claims more than memory holds fails at import: result 4096.
huge <- variant(b, "^##NPOINTS=10" = "##NPOINTS=1000000000")
m <- read_jcamp(huge)
expect_identical(c(dim(m$values), m$skipped$result), c(0L, 0L, 4096L))
expect_true(grepl("memory", m$skipped$reason))

# Suspect values: listed in warnings; under strict the file is left out.
unscaled <- variant(b, "^##YFACTOR=" = NA)
m <- read_jcamp(c(a, unscaled, b))
expect_identical(m$warnings[c("row", "file", "block")],
                 data.frame(row = 2L, file = unscaled, block = 1L))
expect_true(grepl("no-factor", m$warnings$kinds))
strict <- read_jcamp(c(a, unscaled, b), strict = TRUE)
expect_identical(c(strict$sources$file, strict$skipped$file), c(a, b, unscaled))
expect_identical(nrow(read_jcamp(c(a, unscaled, b), strict = TRUE, on_error = "stop")$values), 1L)
expect_identical(caught(read_jcamp(c(a, unscaled), strict = TRUE, on_error = "raise"))$file,
                 unscaled)

# On the first file's grid the block off it is resampled instead: nothing of
# it lies on that grid, so its row is missing throughout. A block in units
# that do not convert is left out, both units named.
m <- read_jcamp(c(a, offgrid, b), grid = "first")
expect_identical(c(m$resampled, m$coverage), c(FALSE, TRUE, FALSE, 1, 0, 1))
expect_true(all(is.na(m$values[2, ])))
expect_identical(nrow(m$skipped), 0L)
hertz <- variant(b, "^##XUNITS=1/CM" = "##XUNITS=HZ")
m <- read_jcamp(c(a, hertz), grid = "4000:3100:4:1/CM")
expect_identical(m$skipped[c("file", "block", "reason")],
                 data.frame(file = hertz, block = 1L, reason = "X in HZ, the grid in 1/CM"))
expect_identical(m$x, c(4000, 3700, 3400, 3100))
expect_error(read_jcamp(a, mode = "host-compatible", grid = "first"), "standard",
             class = "jcamp_error")
parse_grid <- jcampimport:::parse_grid
expect_identical(parse_grid("overlap")$policy, "overlap")
expect_identical(parse_grid("10000:4000:3001:1/CM")[-1],
                 list(first = 10000, last = 4000, count = 3001L, units = "1/CM"))
expect_identical(parse_grid("1:2.5:151")$units, NA_character_)
for (wrong in list("sideways", "1:2", "1:2:0", "1:2:1.5", "a:2:3", 7, c("first", "first"))) {
  expect_error(parse_grid(wrong), "grid must be")
}

expect_error(read_jcamp(a, mode = "lenient"))
expect_error(read_jcamp(1), "character")
expect_identical(dim(read_jcamp(character())$values), c(0L, 0L))
