# The header scan of one file (see man/check_jcamp.Rd).
check_jcamp <- function(file, mode = "standard") {
  if (!is.character(file) || length(file) != 1L || is.na(file)) {
    stop("file must be one path")
  }
  file <- path.expand(file)
  mode <- match.arg(mode, names(modes))
  scans <- lapply(names(modes), header_scan, path = file)
  names(scans) <- names(modes)
  readable <- vapply(scans, function(scan) scan$status == header_ok, NA)
  reasons <- vapply(scans, function(scan) {
    if (scan$status == header_ok) NA_character_ else scan$message
  }, "")
  scan <- scans[[mode]]
  if (!readable[[mode]]) {
    why <- if (scan$status == 0L) system_reason(file) else NA_character_
    stop(jcamp_error(if (is.na(why)) scan$message else paste0(scan$message, ": ", why),
                     file, result_bad_header, scan$status))
  }
  fields <- shape_fields(scan)
  structure(class = "jcamp_check", list(
    file = file, mode = mode, kind = fields[6L], blocks = as.integer(fields[1L]),
    points = as.integer(fields[2L]), concentrations = as.integer(fields[3L]),
    first_x = as.numeric(fields[4L]), last_x = as.numeric(fields[5L]),
    title = fields[7L], origin = fields[8L], owner = fields[9L],
    compatible = readable, reasons = reasons))
}

print.jcamp_check <- function(x, ...) {
  cat(sprintf("<jcamp_check: %s>\n%s table, %d block%s of %d X points (%s to %s), %d concentrations\n",
              x$file, x$kind, x$blocks, if (x$blocks == 1L) "" else "s", x$points,
              format(x$first_x), format(x$last_x), x$concentrations))
  cat("title: ", x$title, "\n", sep = "")
  for (m in names(x$compatible)) {
    cat(sprintf("%s mode: %s\n", m, if (x$compatible[[m]]) "reads it" else
      paste("refuses it:", x$reasons[[m]])))
  }
  invisible(x)
}
