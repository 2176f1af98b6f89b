// Helper process of the kill-during-save test: saves two large versions of a
// document over one data file, one after the other, until it is killed.
//   files_save_child FOLDER
// Writes FOLDER\a.expected and FOLDER\b.expected (the bytes of each
// version), saves version A to FOLDER\data.tvd, creates FOLDER\ready, and
// then alternates B, A, B, ... through the temporary file beside data.tvd.
#include "document/Document.h"
#include "storage/format/DataFile.h"
#include "storage/sharing/DocumentFile.h"
#include "storage/format/MessageSink.h"

#include <windows.h>

#include <string>

namespace {

class SilentView : public MessageSink {
public:
    void reportError(const char*, const char*) override {}
};

// Enough names and actions for a file of several hundred kilobytes.
void build(Document& doc, const char* tag)
{
    doc.resetDocument(0, 0);
    for (int a = 0; a < 20; ++a)
        doc.addActionItem(("Action item " + std::to_string(a) + " " + tag).c_str());
    for (int n = 0; n < 1500; ++n) {
        int slot = doc.addName(("Person number " + std::to_string(n) + " of version " + tag).c_str());
        doc.addMemo(slot, ("A memo that makes the section longer, version " + std::string(tag)).c_str());
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    std::string folder = argv[1];
    std::string data = folder + "\\data.tvd";
    static Document a;
    static Document b;
    SilentView view;
    build(a, "A");
    build(b, "B");
    if (!saveDataFile(a, view, (folder + "\\a.expected").c_str()) ||
        !saveDataFile(b, view, (folder + "\\b.expected").c_str()) ||
        !saveDocumentFile(a, view, data.c_str()))
        return 1;
    CloseHandle(CreateFileA((folder + "\\ready").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    for (unsigned round = 1;; ++round) {
        Document& doc = (round & 1) ? b : a;
        doc.modified = 1;
        saveDocumentFile(doc, view, data.c_str());
    }
}
