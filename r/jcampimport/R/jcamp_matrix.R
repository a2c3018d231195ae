# The result of read_jcamp: one row per spectrum (data block).
new_jcamp_matrix <- function(parts, files, mode, skipped) {
  values <- parts[[1L]]
  origins <- parts[[5L]]
  structure(class = "jcamp_matrix", list(
    values = values,
    x = suppressWarnings(as.numeric(colnames(values))),
    concentrations = parts[[2L]],
    sources = data.frame(file = files[origins[[1L]]], block = origins[[2L]],
                         stringsAsFactors = FALSE),
    warnings = warning_rows(files, origins),
    skipped = skipped,
    resampled = bitwAnd(origins[[4L]], resampled_bit) != 0,
    coverage = origins[[6L]],
    mode = mode))
}

empty_matrix <- function(mode, skipped) {
  nothing <- matrix(numeric(), 0L, 0L, dimnames = list(character(), character()))
  structure(class = "jcamp_matrix", list(
    values = nothing, x = numeric(), concentrations = nothing,
    sources = data.frame(file = character(), block = integer(), stringsAsFactors = FALSE),
    warnings = warning_rows(character(), list(integer(), integer(), integer(), integer(),
                                              integer())),
    skipped = skipped, resampled = logical(), coverage = numeric(), mode = mode))
}

# One row per sample whose values are suspect: its file and block, what is
# suspect (warning and check names, comma-separated) and the line it arose on.
warning_rows <- function(files, origins) {
  bits <- c(warning_bits, check_bits)
  flags <- cbind(outer(origins[[4L]], warning_bits, bitwAnd),
                 outer(origins[[3L]], check_bits, bitwAnd)) != 0
  rows <- which(rowSums(flags) > 0)
  kinds <- vapply(rows, function(r) paste(names(bits)[flags[r, ]], collapse = ", "), "")
  data.frame(row = rows, file = files[origins[[1L]][rows]], block = origins[[2L]][rows],
             kinds = kinds, line = origins[[5L]][rows], stringsAsFactors = FALSE)
}

print.jcamp_matrix <- function(x, ...) {
  n <- nrow(x$values)
  cat(sprintf("<jcamp_matrix: %d %s x %d X points%s, %d concentrations%s; %s mode>\n",
              n, if (n == 1L) "spectrum" else "spectra", ncol(x$values),
              if (length(x$x)) sprintf(" (%s to %s)", format(x$x[1L]),
                                       format(x$x[length(x$x)])) else "",
              ncol(x$concentrations),
              if (ncol(x$concentrations)) {
                paste0(" (", paste(colnames(x$concentrations), collapse = ", "), ")")
              } else "",
              x$mode))
  if (n) {
    shown <- utils::head(rownames(x$values), 5L)
    cat("samples: ", paste(shown, collapse = "; "), if (n > 5L) "; ...", "\n", sep = "")
  }
  if (any(x$resampled)) {
    cat(sum(x$resampled), "rows resampled onto the grid,", sum(x$coverage < 1),
        "of them filling part of it (see $resampled, $coverage)\n")
  }
  if (nrow(x$warnings)) {
    cat(nrow(x$warnings), "rows with suspect values (see $warnings)\n")
  }
  if (nrow(x$skipped)) {
    cat(nrow(x$skipped), "files or blocks left out (see $skipped):\n")
    shown <- utils::head(x$skipped, 5L)
    cat(paste0("  ", shown$file, ifelse(is.na(shown$block), "", paste(" block", shown$block)),
               ": ", shown$reason), sep = "\n")
  }
  invisible(x)
}

# One data frame: the X columns, then the concentrations; rows named by
# sample (names made unique, as data frames need).
as.data.frame.jcamp_matrix <- function(x, row.names = NULL, optional = FALSE, ...) {
  both <- cbind(x$values, x$concentrations)
  frame <- as.data.frame(unname(both), ...)
  names(frame) <- colnames(both)
  row.names(frame) <- if (is.null(row.names)) make.unique(rownames(x$values)) else row.names
  frame
}
