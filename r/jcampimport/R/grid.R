# The X grid rows are put on. NULL keeps the grid of the first file's first
# data block, the only one this library offers. The requests are parsed
# already; once the library resamples (setGrid), import_once() hands the
# parsed request to the handle before the first file and this refusal goes.
grid_request <- function(grid) {
  if (is.null(grid)) return(NULL)
  parse_grid(grid)
  stop(jcamp_error(paste("resampling onto a grid needs a jcampimport library with grid",
                         "support (setGrid); this one reads every row on the first",
                         "block's grid: use grid = NULL")))
}

grid_usage <- 'grid must be NULL, "first", "overlap" or "FIRST:LAST:COUNT[:UNITS]"'

# A grid request as the library's grid takes it: a policy (first, overlap or
# explicit), and for an explicit grid its first and last X, point count and
# X units (NA: the files' own).
parse_grid <- function(grid) {
  if (!is.character(grid) || length(grid) != 1L || is.na(grid)) stop(grid_usage)
  if (grid %in% c("first", "overlap")) {
    return(list(policy = grid, first = NA_real_, last = NA_real_, count = NA_integer_,
                units = NA_character_))
  }
  parts <- strsplit(grid, ":", fixed = TRUE)[[1]]
  numbers <- suppressWarnings(as.numeric(parts[1:3]))
  if (!length(parts) %in% 3:4 || !all(is.finite(numbers)) || numbers[3] < 1 ||
      numbers[3] != round(numbers[3]) || numbers[3] > .Machine$integer.max) {
    stop(grid_usage)
  }
  list(policy = "explicit", first = numbers[1], last = numbers[2],
       count = as.integer(numbers[3]), units = if (length(parts) == 4L) parts[4] else NA_character_)
}
