// Readers of a block's data tables: ##XYDATA= (X++(Y..Y)), ##XYPOINTS=
// (XY..XY) and ##CONCENTRATIONS=. Each decodes the data lines of its record
// (the value lines after the first) through the context's lines with the block's
// fields as they stand, replaces the block's arrays of that table and adds
// the outcome of the consistency checks to checkFlags.
//
// The arrays hold tableLength (concentrationLength) entries, which can be
// fewer than nPoints (concentrationCount): a table whose lines cannot hold
// what its header claims gets no more room than the lines yield. Entries the
// table does not supply are kMissingValue (abscissas too; their xIsReal is 0),
// and so are, for whoever reads the arrays, the entries from tableLength up to
// nPoints. Values past the room are dropped (in the XY forms the count check
// then fails). A table whose DUP counts ask for far more room than its text
// justifies fails with kStatusNoMemoryToRead instead of allocating it.
#pragma once

#include <cstdint>

#include "labels/jcamp_block.h"
#include "labels/label_record.h"

namespace jcamp {

// Fills yValues (scaled by yFactor); drops xValues and xIsReal of an earlier
// ##XYPOINTS= table. With nPoints 0 the whole table is decoded and the check
// against ##FIRSTY= is left out. Returns kStatusOk or kStatusNoMemoryToRead.
Status readXyData(JcampBlock& block, const LabelRecord& record, const ReadContext& context);

// Fills xValues (scaled by xFactor), yValues (scaled by yFactor) and xIsReal;
// nPoints 0 as for readXyData. Returns kStatusOk or kStatusNoMemoryToRead.
Status readXyPoints(JcampBlock& block, const LabelRecord& record, const ReadContext& context);

// Before a table replaces the arrays of an earlier one: the block notes the
// earlier as left out, by the table that replaces it (unreadTable).
void noteReplacedTable(JcampBlock& block, const LabelRecord& table);

// Fills concentrations with up to concentrationCount values, unscaled and
// unchecked. Returns kStatusOk or kStatusNoMemoryToRead.
Status readConcentrations(JcampBlock& block, const LabelRecord& record, const ReadContext& context);

}  // namespace jcamp
