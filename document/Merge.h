// The three-way merge of two copies of one data file that were changed
// apart: by this program and by someone else (another computer, a synced
// copy, a recovered session). Portable; used by Save, by tvd merge and by
// crash recovery.
#pragma once
#include "document/MergeReport.h"

class Document;

// base is the file as this program last read or wrote it, mine the document
// in memory, theirs the file on disk now. result (emptied first) becomes
// theirs with mine's changes added as the editing commands add them, so that
// nobody's change is lost: where two changes can't both stand, the rules pick
// one and report names the other.
//
// Names are matched by their text's simple case folding, the k-th equal one
// with the k-th, and so are action items; memos and single checkboxes by
// kind and text within their person. Deleted slots of the inputs are left
// out. Returns 1, or 0 when memory ran out (result is then incomplete).
int mergeDocuments(const Document& base, const Document& mine, const Document& theirs, Document& result,
                   MergeReport& report);

// mergeDocuments for copies read only to be merged (tvd merge), which it
// uses up: where the result keeps a person of mine or theirs entry for
// entry, it takes that copy's list (or the base's that the copy shares, see
// Document::lender) instead of a copy of it, and it holds on to the memory
// the copies read their files into until it is emptied. The three copies
// are left empty.
int mergeReadCopies(Document& base, Document& mine, Document& theirs, Document& result, MergeReport& report);

// mergeReadCopies for a Save of the open document: mine is only read (and
// copied where the result keeps it); base and theirs are used up.
int mergeWithReadCopies(Document& base, const Document& mine, Document& theirs, Document& result, MergeReport& report);
