// The document session's view of a POSIX system, for the native tvd: the
// local folder is $LOCALAPPDATA/Vantorell/Tallyvane/ when that variable is
// set (as on Windows), else under $XDG_DATA_HOME, else under ~/.local/share.
#pragma once
#include "session/SessionEnvironment.h"

class HostEnvironment : public SessionEnvironment {
public:
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
    std::string localFolder() override;
    bool makeFolder(const std::string& folder) override;
    std::vector<std::string> filesIn(const std::string& folder, const std::string& prefix,
                                     const std::string& suffix) override;
    void hideFile(const std::string&) override {}
    void declineRecovery(const std::string& path, const std::string& folder) override;
    void pruneDeclined(const std::string& folder) override;
};
