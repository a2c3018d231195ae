# The library's exports, one .Call each, and the numbers they speak in.

modes <- c("host-compatible" = 0L, standard = 1L)

result_ok <- 0L
result_import_failed <- 4096L
result_shape_mismatch <- 4098L
result_bad_header <- 4104L
header_ok <- 100L

# Warning and check bits of a sample (getSampleInfo), by the names
# jcamp_matrix$warnings uses.
warning_bits <- c("no-factor" = 0x1, truncated = 0x2, "decimal-split" = 0x4,
                  "last-dropped" = 0x8, precision = 0x10, "x-reversed" = 0x20,
                  "x-grid" = 0x40, "block-missing" = 0x80, "file-changed" = 0x100,
                  "not-read" = 0x200, "y-units" = 0x800,
                  "text-before-title" = 0x1000, "unread-table" = 0x2000)
# Put onto the grid asked for: a request, not a suspicion (jcamp_matrix$resampled).
resampled_bit <- 0x400
check_bits <- c("check-x" = 1, "check-y" = 2, "check-first-y" = 4, "check-count" = 8)

mode_number <- function(mode) modes[[match.arg(mode, names(modes))]]

open_handle <- function(mode) {
  handle <- .Call(C_jcamp_r_open, mode_number(mode))
  if (is.integer(handle)) {
    stop(jcamp_error("the library cannot open an import handle in this reading mode",
                     result = handle))
  }
  handle
}

close_handle <- function(handle) invisible(.Call(C_jcamp_r_close, handle))

add_files <- function(handle, paths, stop_at_first) {
  .Call(C_jcamp_r_add, handle, paths, stop_at_first)
}

# importData with every message box answered OK (go_on) or Cancel:
# list(result, file: the library's index (from 1) of the file each message
# names, text: each message after its first line).
import_data <- function(handle, go_on) {
  imported <- .Call(C_jcamp_r_import, handle, go_on)
  names(imported) <- c("result", "file", "text")
  imported
}

collect_matrix <- function(handle, y_count) .Call(C_jcamp_r_collect, handle, y_count)

# checkFileNameMode: list(status, message); for a usable file the message
# holds its shape as tab-separated fields.
header_scan <- function(path, mode) {
  scan <- .Call(C_jcamp_r_check, path, mode_number(mode))
  names(scan) <- c("status", "message")
  scan
}

shape_fields <- function(scan) strsplit(scan$message, "\t", fixed = TRUE)[[1]]
