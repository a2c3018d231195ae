// Writes rows of text fields as CSV (RFC 4180 quoting) or TSV, as they come.
#pragma once

#include <ostream>
#include <string>

class TableWriter {
 public:
  TableWriter(std::ostream& out, bool tsv) : out_(out), tsv_(tsv) {}

  void field(const std::string& text);
  void endRow();

 private:
  void writeCsvField(const std::string& text);
  void writeTsvField(const std::string& text);

  std::ostream& out_;
  bool tsv_;
  bool rowStarted_ = false;
};
