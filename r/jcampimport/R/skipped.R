# What an import left out: one row per file or block, with the library's
# result code (addFileName's; 4096 for a file whose data could not be read),
# the header scan's status and the reason in words.
skipped_rows <- function(file = character(), block = NA_integer_, result = NA_integer_,
                         status = NA_integer_, reason = character()) {
  if (!length(file)) {
    return(data.frame(file = character(), block = integer(), result = integer(),
                      status = integer(), reason = character(), stringsAsFactors = FALSE))
  }
  data.frame(file = file, block = as.integer(block), result = as.integer(result),
             status = as.integer(status), reason = reason, stringsAsFactors = FALSE)
}

# Why the operating system cannot read a file the scan could not open.
system_reason <- function(path) {
  if (!file.exists(path)) return("No such file or directory")
  if (dir.exists(path)) return("Is a directory")
  if (file.access(path, 4L) != 0L) return("Permission denied")
  NA_character_
}

# Files addFileName refused: the scan's reason (with the system's for a file
# that cannot be opened), or for another shape than the first file's both shapes.
refusal_rows <- function(paths, results, mode, first) {
  rows <- lapply(seq_along(paths), function(i) {
    scan <- header_scan(paths[i], mode)
    status <- NA_integer_
    if (results[i] == result_shape_mismatch && scan$status == header_ok && !is.na(first)) {
      mine <- shape_fields(scan)
      theirs <- shape_fields(header_scan(first, mode))
      reason <- sprintf(paste("it has %s X points and %s concentrations, the first file (%s)",
                              "%s X points and %s concentrations"),
                        mine[2], mine[3], first, theirs[2], theirs[3])
    } else if (scan$status != header_ok) {
      status <- scan$status
      why <- if (status == 0L) system_reason(paths[i]) else NA_character_
      reason <- if (is.na(why)) scan$message else paste0(scan$message, ": ", why)
    } else {
      reason <- "the library refused the file"
    }
    skipped_rows(paths[i], NA_integer_, results[i], status, reason)
  })
  do.call(rbind, c(list(skipped_rows()), rows))
}

# Files and blocks left out while importing, from the message box texts: a
# file whose data cannot be read gives its reason; blocks and pages left out
# give a "block N: reason" or "block N, page P: reason" line each.
unread_rows <- function(imported, files) {
  rows <- lapply(seq_along(imported$text), function(k) {
    text <- imported$text[k]
    file <- files[imported$file[k]]
    lines <- strsplit(strsplit(text, "\n\n", fixed = TRUE)[[1]][1], "\n", fixed = TRUE)[[1]]
    if (!grepl("these blocks!\\s*$", text)) {
      return(skipped_rows(file, NA_integer_, result_import_failed, NA_integer_, lines[1]))
    }
    numbered <- grepl("^block [0-9]+(: |, )", lines)
    block <- ifelse(numbered, sub("^block ([0-9]+)(: |, ).*$", "\\1", lines), NA)
    skipped_rows(rep(file, length(lines)), as.integer(block), NA_integer_, NA_integer_,
                 sub("^block [0-9]+(: |, )", "", lines))
  })
  do.call(rbind, c(list(skipped_rows()), rows))
}
