// What a reload of the open file brought in, in a few words for the status
// bar of the window that reloaded: "1 name added, 2 ticks changed, Dev
// Patel kept". A name is "kept" when this program deleted it and saved the
// delete, and the reloaded file holds it again: someone else's save merged
// the delete away (they had changed the person meanwhile). Portable.
#pragma once
#include <string>
#include <vector>

class Document;

class ReloadSummary {
public:
    // The names from holds that to lacks, matched by their text ignoring
    // case, each as often as it occurs; in from's order.
    static std::vector<std::string> namesGone(const Document& from, const Document& to);

    // before: the document as the window showed it; after: the file as
    // reloaded; deletedHere: the names this program's saves deleted. Those
    // after brought back are named "kept" and leave deletedHere. "" when
    // nothing is counted (or memory ran out counting).
    static std::string between(const Document& before, const Document& after, std::vector<std::string>& deletedHere);
};
