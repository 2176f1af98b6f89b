#include "session/HostEnvironment.h"

#include <signal.h>
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

bool HostEnvironment::isTallyvaneRunning(uint32_t pid)
{
    return kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

std::string HostEnvironment::localFolder()
{
    const char* local = std::getenv("LOCALAPPDATA");
    const char* home = std::getenv("HOME");
    if (local && *local)
        return std::string(local) + "/Vantorell/Tallyvane/";
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

bool HostEnvironment::copyFile(const std::string& from, const std::string& to)
{
    std::error_code error;
    return fs::copy_file(from, to, fs::copy_options::overwrite_existing, error) && !error;
}

void HostEnvironment::declineRecovery(const std::string& path, const std::string& folder)
{
    std::error_code error;
    fs::path declined = fs::path(folder) / "Declined";
    fs::create_directories(declined, error);
    fs::path target = declined / fs::path(path).filename();
    fs::rename(path, target, error);
    if (error) {
        fs::remove(path, error);
        return;
    }
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
