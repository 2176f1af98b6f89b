#include "session/HostEnvironment.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

const int64_t kFileTimeOf1970 = 116444736000000000LL;   // FILETIME ticks from 1601 to 1970

std::tm localNow(int* millisecond)
{
    auto now = std::chrono::system_clock::now();
    std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    if (millisecond)
        *millisecond = int(std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    return local;
}

const int kDeclinedDays = 7;

}  // namespace

std::string HostEnvironment::nowText()
{
    std::tm t = localNow(nullptr);
    char text[32];
    int hour = t.tm_hour % 12 ? t.tm_hour % 12 : 12;
    std::snprintf(text, sizeof text, "%02d/%02d/%02d %02d:%02d %s", t.tm_mon + 1, t.tm_mday, t.tm_year % 100, hour,
                  t.tm_min, t.tm_hour < 12 ? "AM" : "PM");
    return text;
}

BackupName::Time HostEnvironment::now()
{
    int millisecond = 0;
    std::tm t = localNow(&millisecond);
    return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, millisecond};
}

uint32_t HostEnvironment::ticks()
{
    return uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now().time_since_epoch()).count());
}

std::string HostEnvironment::userName()
{
    const char* name = std::getenv("USER");
    return name ? name : "";
}

std::string HostEnvironment::computerName()
{
    char name[256] = "";
    gethostname(name, sizeof name - 1);
    return name;
}

uint32_t HostEnvironment::processId() { return uint32_t(getpid()); }

int64_t HostEnvironment::tallyvaneStartTime(uint32_t pid)
{
    // A process that runs is one that can't be asked: nobody's file is taken over.
    return kill(pid_t(pid), 0) == 0 || errno == EPERM ? 0 : -1;
}

int64_t HostEnvironment::processStartTime() { return 0; }

int64_t HostEnvironment::fileTimeNow()
{
    auto since1970 = std::chrono::system_clock::now().time_since_epoch();
    return kFileTimeOf1970 + std::chrono::duration_cast<std::chrono::nanoseconds>(since1970).count() / 100;
}

int64_t HostEnvironment::writtenAt(const std::string& path)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return 0;
    return kFileTimeOf1970 + int64_t(info.st_mtim.tv_sec) * 10000000 + info.st_mtim.tv_nsec / 100;
}

std::string HostEnvironment::localFolder()
{
    const char* local = std::getenv("LOCALAPPDATA");
    const char* data = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (local && *local)
        return std::string(local) + "/Vantorell/Tallyvane/";
    if (data && *data)
        return std::string(data) + "/Vantorell/Tallyvane/";
    if (home && *home)
        return std::string(home) + "/.local/share/Vantorell/Tallyvane/";
    return "";
}

bool HostEnvironment::makeFolder(const std::string& folder)
{
    std::error_code error;
    fs::create_directories(folder, error);
    return fs::is_directory(folder, error);
}

std::vector<std::string> HostEnvironment::filesIn(const std::string& folder, const std::string& prefix,
                                                  const std::string& suffix)
{
    std::vector<std::pair<fs::file_time_type, std::string>> found;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        if (!it->is_regular_file(error) || name.size() < prefix.size() + suffix.size() ||
            name.compare(0, prefix.size(), prefix) != 0 ||
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        found.emplace_back(it->last_write_time(error), name);
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> names;
    for (auto& f : found)
        names.push_back(f.second);
    return names;
}

void HostEnvironment::declineRecovery(const std::string& path, const std::string& folder)
{
    std::error_code error;
    fs::path declined = fs::path(folder) / "Declined";
    fs::create_directories(declined, error);
    fs::path target = declined / fs::path(path).filename();
    // One that can't be moved stays where it is: it may be the only copy of the changes.
    fs::rename(path, target, error);
    if (error)
        return;
    // The days kept count from now.
    fs::last_write_time(target, fs::file_time_type::clock::now(), error);
}

void HostEnvironment::pruneDeclined(const std::string& folder)
{
    std::error_code error;
    auto limit = fs::file_time_type::clock::now() - std::chrono::hours(24 * kDeclinedDays);
    for (fs::directory_iterator it(fs::path(folder) / "Declined", error), end; !error && it != end;
         it.increment(error))
        if (it->is_regular_file(error) && it->path().extension() == ".tvr" && it->last_write_time(error) < limit)
            fs::remove(it->path(), error);
}

SessionEnvironment& systemEnvironment()
{
    static HostEnvironment environment;
    return environment;
}
