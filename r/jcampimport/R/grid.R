# The X grid rows are put on. NULL keeps the grid of the first file's first
# data block (blocks off it are skipped); any other request goes to the handle
# before its first file (setGrid), and rows off the grid are resampled onto it.
grid_request <- function(grid) {
  if (is.null(grid)) return(NULL)
  parse_grid(grid)
}

grid_usage <- 'grid must be NULL, "first", "overlap" or "FIRST:LAST:COUNT[:UNITS]"'

# The library's numbers of the grid policies.
grid_policies <- c(first = 1L, explicit = 2L, overlap = 3L)

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

# Gives the handle the grid; an R condition when the library cannot make it.
set_grid <- function(handle, grid, mode) {
  result <- .Call(C_jcamp_r_grid, handle, grid_policies[[grid$policy]], grid$first, grid$last,
                  grid$count, grid$units)
  if (result != result_ok) {
    stop(jcamp_error(paste0("the library cannot make this grid",
                            if (mode != "standard") ' (it needs mode = "standard")'),
                     result = result))
  }
}
