#pragma once
// Helpers of the storage tests: a scratch folder, whole-file reads and
// writes, and a view that records what the reader does to the windows.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "document/Heap.h"
#include "storage/format/LoadReport.h"
#include "storage/format/MessageSink.h"
#include "storage/file/FileFaults.h"

namespace testing_support {

// A folder of its own under the system's temporary folder, removed afterwards.
class ScratchFolder {
public:
    ScratchFolder()
    {
        static int serial = 0;
        auto base = std::filesystem::temp_directory_path();
        for (;;) {
            path_ = base / ("tallyvane-test-" + std::to_string(reinterpret_cast<uintptr_t>(this) & 0xffffff) + "-"
                            + std::to_string(++serial));
            if (std::filesystem::create_directory(path_))
                break;
        }
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

inline std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool exists(const std::string& path)
{
    return std::filesystem::exists(path);
}

// Joins lines with CR LF after each, as the writer ends them.
inline std::string crlf(std::initializer_list<const char*> lines)
{
    std::string out;
    for (const char* line : lines)
        out += std::string(line) + "\r\n";
    return out;
}

// Records every message as one line, "error CAPTION: TEXT"; a load's
// report (load) as the window shows it: its messages, then "readonly" when
// the file loaded damaged.
class RecordingView : public MessageSink {
public:
    std::vector<std::string> calls;

    void reportError(const char* caption, const char* text) override
    {
        calls.push_back("error " + std::string(caption) + ": " + text);
    }
    // 1 when the report says the file loaded.
    int load(const LoadReport& report)
    {
        for (const LoadReport::Message& message : report.messages())
            reportError(message.caption.c_str(), message.text.c_str());
        if (report.damaged())
            calls.push_back("readonly");
        return report.loaded() ? 1 : 0;
    }

    // The messages shown, in order.
    std::vector<std::string> errors() const
    {
        std::vector<std::string> out;
        for (const auto& call : calls)
            if (call.rfind("error ", 0) == 0)
                out.push_back(call.substr(6));
        return out;
    }
    std::string lastError() const
    {
        auto all = errors();
        return all.empty() ? "" : all.back();
    }
    bool has(const std::string& call) const
    {
        for (const auto& c : calls)
            if (c == call)
                return true;
        return false;
    }
};

// Disarms every injected fault when a test ends.
struct FaultGuard {
    ~FaultGuard()
    {
        fileFaults.reset();
        heapHooks.reset();
    }
};

// The example file of the data-file format, byte for byte.
inline std::string exampleFile()
{
    return crlf({"[Program]", "Tallyvane", "", "[Action Items]", "2", "Sign the safety form", "Return the badge", "",
                 "[Names]", "2", "0 Ann Smith", "1 Bob Jones", "", "[0]", "3", "1 03/14/26 09:05 AM", "0 ",
                 "2 Phoned on Monday", "[1]", "3", "0 ", "4 Parking permit\t03/15/26 02:30 PM",
                 "1 03/16/26 11:00 AM"});
}

} // namespace testing_support
