// An ordered record of what happened, one formatted line per event, for
// comparing message order with an expected table:
//
//   recorder.add("OnSize %u 0x%08lx", wParam, lParam);
//   EXPECT_EQ(recorder.take(), (std::vector<std::string>{"OnSize 0 0x00320064"}));
#pragma once
#include <string>
#include <vector>

class MessageRecorder {
public:
    // Appends one printf-formatted entry.
    void add(const char* format, ...);
    // The entries so far, which are then forgotten.
    std::vector<std::string> take();
    const std::vector<std::string>& entries() const { return entries_; }
    // How many entries begin with prefix.
    int count(const std::string& prefix) const;
    void clear() { entries_.clear(); }

private:
    std::vector<std::string> entries_;
};
