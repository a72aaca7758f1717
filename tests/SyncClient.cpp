#include "tests/SyncClient.h"

#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "notes/MemoStore.h"
#include "tests/TestSupport.h"

#include <windows.h>

#include <chrono>
#include <set>

namespace {

constexpr char kTemporaryPrefix[] = ".~sync-";
// OneDrive and Dropbox leave out names starting "~$" (Office's owner files).
constexpr char kNeverSynced[] = "~$";
constexpr char kWastebasket[] = "zkBasket\\";

void AddFiles(const std::string& folder, const std::string& below, std::map<std::string, std::optional<std::string>>& into)
{
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + below + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string name = found.cFileName;
        // The program itself is the same on both, and running: clients leave it be.
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name.rfind(kTemporaryPrefix, 0) == 0 ||
            name.rfind(kNeverSynced, 0) == 0 ||
            (below.empty() && lstrcmpiA(name.c_str(), "pinova.exe") == 0))
            continue;
        std::string bytes;
        into[below + name] = ReadFileBytes(folder + below + name, bytes) ? std::optional<std::string>(bytes) : std::nullopt;
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

} // namespace

SyncClient::SyncClient(std::string first, std::string second, std::string secondComputer)
    : first_(std::move(first)), second_(std::move(second)), secondComputer_(std::move(secondComputer))
{
    for (const auto& [name, bytes] : List(first_))
        if (bytes)
            synced_[name] = *bytes;
    thread_ = std::thread([this] {
        while (!stop_) {
            Pass();
            std::this_thread::sleep_for(std::chrono::milliseconds(kPassMs));
        }
    });
}

SyncClient::~SyncClient()
{
    stop_ = true;
    thread_.join();
}

void SyncClient::Pause()
{
    const std::lock_guard<std::mutex> lock(passing_);
    paused_ = true;
}

void SyncClient::Resume()
{
    const std::lock_guard<std::mutex> lock(passing_);
    paused_ = false;
}

SyncClient::Listing SyncClient::List(const std::string& folder)
{
    Listing files;
    AddFiles(folder, "", files);
    AddFiles(folder, kWastebasket, files);
    return files;
}

void SyncClient::Pass()
{
    const std::lock_guard<std::mutex> lock(passing_);
    if (paused_)
        return;
    const Listing first = List(first_), second = List(second_);
    std::set<std::string> names;
    for (const Listing* listing : {&first, &second})
        for (const auto& entry : *listing)
            names.insert(entry.first);
    for (const std::string& name : names) {
        const auto a = first.find(name), b = second.find(name);
        // Held by the program while it writes: next time.
        if ((a != first.end() && !a->second) || (b != second.end() && !b->second))
            continue;
        Reconcile(name, a == first.end() ? std::nullopt : a->second, b == second.end() ? std::nullopt : b->second);
    }
}

void SyncClient::Reconcile(const std::string& name, const std::optional<std::string>& first,
                           const std::optional<std::string>& second)
{
    const auto known = synced_.find(name);
    const std::optional<std::string> synced =
        known == synced_.end() ? std::nullopt : std::optional<std::string>(known->second);
    auto remember = [&](const std::optional<std::string>& bytes) {
        if (bytes)
            synced_[name] = *bytes;
        else
            synced_.erase(name);
    };
    if (first == second) {
        remember(first);
        return;
    }
    const bool firstChanged = first != synced, secondChanged = second != synced;
    if (firstChanged && secondChanged && first && second) {
        // Both edited: the second computer keeps its version under its own name.
        const std::string copy = ConflictName(name);
        // The copy's name is the client's own: what is there now gives way.
        if (Put(second_, copy, second, Now(second_ + copy)) && Put(second_, name, first, second)) {
            ++conflicts_;
            remember(first);
        }
        return;
    }
    // One side changed, or one edited what the other removed: the edit travels.
    const bool toSecond = firstChanged && secondChanged ? first.has_value() : firstChanged;
    if (toSecond ? Put(second_, name, first, second) : Put(first_, name, second, first))
        remember(toSecond ? first : second);
}

std::string SyncClient::ConflictName(const std::string& name) const
{
    const size_t dot = name.rfind('.');
    return name.substr(0, dot) + "-" + secondComputer_ + (dot == std::string::npos ? "" : name.substr(dot));
}

std::optional<std::string> SyncClient::Now(const std::string& path)
{
    std::string bytes;
    return ReadFileBytes(path, bytes) ? std::optional<std::string>(bytes) : std::nullopt;
}

namespace {

// The file at the path, open so that nobody else can write, replace or remove it,
// and its bytes; none when it is not there or held.
struct HeldFile {
    UniqueKernelHandle handle;
    std::string bytes;
};

std::optional<HeldFile> Hold(const std::string& path)
{
    const HANDLE opened = CreateFileA(path.c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        return std::nullopt;
    HeldFile held{UniqueKernelHandle(opened), {}};
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(opened, buffer, sizeof(buffer), &read, nullptr) && read)
        held.bytes.append(buffer, read);
    return held;
}

} // namespace

bool SyncClient::Put(const std::string& folder, const std::string& name, const std::optional<std::string>& bytes,
                     const std::optional<std::string>& replacing)
{
    const std::string path = folder + name;
    const std::string directory = ExtractFilePath(path);
    const std::string temporary = directory + kTemporaryPrefix + ExtractFileName(path) + ".partial";
    if (bytes) {
        CreateDirectoryA(directory.c_str(), nullptr);
        WriteWholeFile(temporary, *bytes);
    }
    // The last look, with the file held: a save the program makes meanwhile waits
    // (it tries a held file again), so none made since the pass is overwritten.
    bool swept = !replacing && GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
    if (replacing) {
        if (std::optional<HeldFile> held = Hold(path); held && held->bytes == *replacing) {
            FILE_DISPOSITION_INFO remove{TRUE};
            swept = SetFileInformationByHandle(held->handle.get(), FileDispositionInfo, &remove, sizeof(remove)) != FALSE;
        }
    }
    // Into the free name only: a save that came in after the old file went wins,
    // and the next pass sees it.
    if (swept && (!bytes || MoveFileExA(temporary.c_str(), path.c_str(), 0)))
        return true;
    if (bytes)
        DeleteFileA(temporary.c_str());
    return false;
}
