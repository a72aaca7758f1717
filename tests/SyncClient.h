#pragma once
// Plays the sync client between two program folders, as if they were on two
// computers: every changed file (memo files, the memo index, the settings, the
// wastebasket folder's files) is brought to the other folder the way clients put
// files into place, a temporary name first and then a rename. A file changed in
// both folders since the last copy keeps both versions, as OneDrive does: on the
// second computer its own version is renamed "<name>-<COMPUTER>.<ext>", the first
// one's version takes the name, and the renamed copy travels like any new file.
// A change wins over a removal. Held files are tried again on the next pass;
// names starting "~$" are left alone, as the clients do. Like the clients, it
// looks at a file again just before replacing it: one saved since its look is
// left for the next pass, never overwritten.

#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

class SyncClient {
public:
    // The folders (with trailing backslashes) hold the same files now.
    SyncClient(std::string first, std::string second, std::string secondComputer);
    ~SyncClient();
    SyncClient(const SyncClient&) = delete;
    SyncClient& operator=(const SyncClient&) = delete;

    // Like a client taken offline and back: nothing is copied meanwhile.
    void Pause();
    void Resume();
    int Conflicts() const { return conflicts_; }

    // One look at both folders; the thread does this every kPassMs.
    void Pass();
    static constexpr unsigned kPassMs = 150;

    // What a client sees of a folder: relative name -> content, none for a file
    // that is there but held.
    using Listing = std::map<std::string, std::optional<std::string>>;
    static Listing List(const std::string& folder);

private:
    // Puts the bytes (none: removes the file) in place of `replacing`, what the pass
    // saw there (none: no file); false, changing nothing, when the file is no longer
    // that or is held.
    static bool Put(const std::string& folder, const std::string& name, const std::optional<std::string>& bytes,
                    const std::optional<std::string>& replacing);
    static std::optional<std::string> Now(const std::string& path);
    void Reconcile(const std::string& name, const std::optional<std::string>& first,
                   const std::optional<std::string>& second);
    std::string ConflictName(const std::string& name) const;

    const std::string first_, second_, secondComputer_;
    // What both folders held for a name at the last copy; no entry when neither had it.
    std::map<std::string, std::string> synced_;
    std::mutex passing_;
    bool paused_ = false;
    std::atomic<int> conflicts_{0};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
