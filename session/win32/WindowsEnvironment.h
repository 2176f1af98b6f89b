// The document session's view of Windows: GetLocalTime and GetTickCount,
// the user and the computer, the local application-data folder, and the
// Tallyvane processes of this computer.
#pragma once
#include <string>

#include "session/SessionEnvironment.h"

class WindowsEnvironment : public SessionEnvironment {
public:
    // The local folder (ending in a backslash) is "" until it is set.
    void setLocalFolder(const std::string& folder) { local_ = folder; }
    // The user's own: %LOCALAPPDATA%\Vantorell\Tallyvane\, created when
    // missing; "" when the variable is not set.
    static std::string userLocalFolder();

    std::string nowText() override;
    BackupName::Time now() override;
    uint32_t ticks() override;
    std::string userName() override;
    std::string computerName() override;
    uint32_t processId() override;
    int64_t tallyvaneStartTime(uint32_t pid) override;
    int64_t processStartTime() override;
    int64_t fileTimeNow() override;
    int64_t writtenAt(const std::string& path) override;
    std::string localFolder() override { return local_; }
    bool makeFolder(const std::string& folder) override;
    std::vector<std::string> filesIn(const std::string& folder, const std::string& prefix,
                                     const std::string& suffix) override;
    void hideFile(const std::string& path) override;
    void declineRecovery(const std::string& path, const std::string& folder) override;
    void pruneDeclined(const std::string& folder) override;

private:
    std::string local_;
};
