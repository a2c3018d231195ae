# A file the library cannot read, or a call it refuses, as an R condition of
# class "jcamp_error": the file, the library's result code (what the export
# answered), the header scan's status where there is one, and the reason.
jcamp_error <- function(reason, file = NA_character_, result = NA_integer_,
                        status = NA_integer_, call = NULL) {
  codes <- c(if (!is.na(result)) sprintf("result %d", result),
             if (!is.na(status)) sprintf("status %d", status))
  message <- paste0(if (!is.na(file)) paste0(file, ": "), reason,
                    if (length(codes)) paste0(" (", paste(codes, collapse = ", "), ")"))
  structure(class = c("jcamp_error", "error", "condition"),
            list(message = message, call = call, file = file, result = result,
                 status = status, reason = reason))
}

# A row of `skipped` as the condition on_error = "raise" signals.
skipped_error <- function(skipped, row = 1L) {
  with(skipped[row, ], jcamp_error(reason, file, result, status))
}
