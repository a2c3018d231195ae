# Shared by the test files: the bundled examples and small files written for a test.
examples <- sort(list.files(system.file("extdata", package = "jcampimport"),
                            pattern = "[.]jdx$", full.names = TRUE))

# A copy of an example with its lines changed by pattern -> replacement pairs.
variant <- function(example, ...) {
  lines <- readLines(example)
  changes <- list(...)
  for (pattern in names(changes)) lines <- sub(pattern, changes[[pattern]], lines)
  path <- tempfile(fileext = ".jdx")
  writeLines(lines[!is.na(lines)], path)
  path
}
