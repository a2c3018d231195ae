# Reads JCAMP-DX files into one jcamp_matrix (see man/read_jcamp.Rd).
read_jcamp <- function(files, mode = "standard", on_error = "skip", grid = NULL,
                       strict = FALSE) {
  files <- as_paths(files)
  mode <- match.arg(mode, names(modes))
  on_error <- match.arg(on_error, c("skip", "stop", "raise"))
  if (!is.logical(strict) || length(strict) != 1L || is.na(strict)) {
    stop("strict must be TRUE or FALSE")
  }
  grid <- grid_request(grid)
  skipped <- skipped_rows()
  repeat {
    run <- import_once(files, mode, on_error, grid)
    if (!is.na(run$stopped_at)) {
      # Cancel discarded the import: read the files before the one that failed.
      if (on_error == "raise") stop(skipped_error(run$refused, nrow(run$refused)))
      skipped <- rbind(skipped, run$refused)
      files <- files[seq_len(run$stopped_at - 1L)]
      on_error <- "skip"
      next
    }
    if (is.null(run$matrix)) {
      if (on_error == "raise" && nrow(run$refused)) stop(skipped_error(run$refused))
      return(empty_matrix(mode, rbind(skipped, run$refused)))
    }
    m <- run$matrix
    m$skipped <- rbind(skipped, m$skipped)
    suspect <- if (strict) suspect_files(m, run$positions) else integer()
    if (!length(suspect)) return(m)
    errors <- skipped_rows(files[suspect], reason = paste("its values are suspect:",
                                                          names(suspect)))
    if (on_error == "raise") stop(skipped_error(errors))
    if (on_error == "skip") {
      skipped <- rbind(m$skipped, errors)
      files <- files[-suspect]
    } else {
      skipped <- rbind(m$skipped, errors[1L, ])
      files <- files[seq_len(suspect[1L] - 1L)]
    }
    strict <- FALSE
  }
}

as_paths <- function(files) {
  if (is.factor(files)) files <- as.character(files)
  if (!is.character(files)) stop("files must be a character vector of paths")
  if (anyNA(files)) stop("files must not hold NA")
  path.expand(files)
}

# One import of files. Returns list(matrix or NULL, positions: each row's
# file as an index into files, refused: skipped rows, stopped_at: the index of
# the file that stopped the import, or NA).
import_once <- function(files, mode, on_error, grid) {
  handle <- open_handle(mode)
  on.exit(close_handle(handle))
  if (!is.null(grid)) set_grid(handle, grid, mode)
  results <- add_files(handle, files, stop_at_first = on_error != "skip")
  refused <- which(!is.na(results) & results != result_ok)
  added <- which(results == result_ok)
  first <- if (length(added)) files[added[1L]] else NA_character_
  refusals <- refusal_rows(files[refused], results[refused], mode, first)
  if (on_error == "raise" && nrow(refusals)) stop(skipped_error(refusals))
  if (!length(added)) {
    return(list(matrix = NULL, refused = refusals, stopped_at = NA_integer_))
  }
  imported <- import_data(handle, go_on = on_error == "skip")
  unread <- unread_rows(imported, files[added])
  if (imported$result == result_import_failed) {
    failed <- imported$file[length(imported$file)]
    if (!length(failed) || is.na(failed)) {
      stop(jcamp_error("the import was stopped", result = imported$result))
    }
    return(list(matrix = NULL, refused = rbind(refusals, unread), stopped_at = added[failed]))
  }
  if (imported$result != result_ok) {
    stop(jcamp_error("the import failed", result = imported$result))
  }
  # The last variables are the first file's components; the X points before
  # them are its own, or the grid's.
  y_count <- as.integer(shape_fields(header_scan(first, mode))[3L])
  parts <- collect_matrix(handle, y_count)
  if (is.null(parts)) {
    return(list(matrix = empty_matrix(mode, rbind(refusals, unread)), positions = integer(),
                stopped_at = NA_integer_))
  }
  origins <- parts[[5L]]
  list(matrix = new_jcamp_matrix(parts, files[added], mode, rbind(refusals, unread)),
       positions = added[origins[[1L]]], stopped_at = NA_integer_)
}

# The files (indices into the files read) with a row whose values are
# suspect, named by what is suspect, in file order.
suspect_files <- function(m, positions) {
  suspect <- m$warnings
  if (!nrow(suspect)) return(integer())
  at <- positions[suspect$row]
  kinds <- tapply(suspect$kinds, at, function(k) {
    paste(sort(unique(unlist(strsplit(k, ", ", fixed = TRUE)))), collapse = ", ")
  })
  structure(as.integer(names(kinds)), names = unname(kinds))
}
