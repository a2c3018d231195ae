#include "table_writer.h"

void TableWriter::field(const std::string& text) {
  if (rowStarted_) out_.put(tsv_ ? '\t' : ',');
  rowStarted_ = true;
  if (tsv_) {
    writeTsvField(text);
  } else {
    writeCsvField(text);
  }
}

void TableWriter::endRow() {
  out_.put('\n');
  rowStarted_ = false;
}

void TableWriter::writeCsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) {
    out_ << text;
    return;
  }
  out_.put('"');
  for (char c : text) {
    if (c == '"') out_.put('"');
    out_.put(c);
  }
  out_.put('"');
}

// TSV has no quoting: a tab or line break inside a name becomes a blank.
void TableWriter::writeTsvField(const std::string& text) {
  for (char c : text) out_.put(c == '\t' || c == '\r' || c == '\n' ? ' ' : c);
}
