#include "framework/Streams.h"

#include "framework/SysUtils.h"

#include <algorithm>
#include <cstring>

namespace {

EFOpenError CannotOpen(const std::string& fileName, DWORD error)
{
    return EFOpenError(Format("Cannot open file \"%s\". %s", fileName.c_str(), SysErrorMessage(error).c_str()));
}

} // namespace

long long TStream::Size()
{
    const long long here = Position();
    const long long end = Seek(0, TSeekOrigin::soEnd);
    SetPosition(here);
    return end;
}

long TMemoryStream::Read(void* buffer, long count)
{
    if (count <= 0 || position_ >= data_.size())
        return 0;
    const size_t n = std::min(static_cast<size_t>(count), data_.size() - position_);
    std::memcpy(buffer, data_.data() + position_, n);
    position_ += n;
    return static_cast<long>(n);
}

long TMemoryStream::Write(const void* buffer, long count)
{
    if (count <= 0)
        return 0;
    const size_t n = static_cast<size_t>(count);
    if (position_ + n > data_.size())
        data_.resize(position_ + n);
    std::memcpy(data_.data() + position_, buffer, n);
    position_ += n;
    return count;
}

long long TMemoryStream::Seek(long long offset, TSeekOrigin origin)
{
    long long base = 0;
    if (origin == TSeekOrigin::soCurrent)
        base = static_cast<long long>(position_);
    else if (origin == TSeekOrigin::soEnd)
        base = static_cast<long long>(data_.size());
    // Past the end is allowed (a later write fills the gap with zeros); before the start is not.
    position_ = static_cast<size_t>(std::max(0LL, base + offset));
    return static_cast<long long>(position_);
}

void TMemoryStream::Clear()
{
    data_.clear();
    position_ = 0;
}

TFileStream::TFileStream(const std::string& fileName, unsigned mode)
{
    HANDLE h;
    if (mode == fmCreate) {
        h = CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            throw EFCreateError(Format("Cannot create file \"%s\". %s", fileName.c_str(),
                                       SysErrorMessage(GetLastError()).c_str()));
    } else {
        const DWORD access[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
        const DWORD share = (mode & fmShareDenyWrite) ? FILE_SHARE_READ : FILE_SHARE_READ | FILE_SHARE_WRITE;
        h = CreateFileA(fileName.c_str(), access[std::min(mode & 3u, 2u)], share, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            throw CannotOpen(fileName, GetLastError());
    }
    file_.reset(h);
}

long TFileStream::Read(void* buffer, long count)
{
    DWORD n = 0;
    if (count <= 0)
        return 0;
    // A failing read must not look like the end of the file.
    if (!ReadFile(file_.get(), buffer, static_cast<DWORD>(count), &n, nullptr))
        throw EStreamError(Format("Stream read error: %s", SysErrorMessage(GetLastError()).c_str()));
    return static_cast<long>(n);
}

long TFileStream::Write(const void* buffer, long count)
{
    DWORD n = 0;
    if (count <= 0 || !WriteFile(file_.get(), buffer, static_cast<DWORD>(count), &n, nullptr))
        return 0;
    return static_cast<long>(n);
}

long long TFileStream::Seek(long long offset, TSeekOrigin origin)
{
    const DWORD method = origin == TSeekOrigin::soBeginning ? FILE_BEGIN
                         : origin == TSeekOrigin::soCurrent ? FILE_CURRENT
                                                            : FILE_END;
    LARGE_INTEGER distance, result;
    distance.QuadPart = offset;
    if (!SetFilePointerEx(file_.get(), distance, &result, method))
        return -1;
    return result.QuadPart;
}

bool ReadFileBytes(const std::string& path, std::string& bytes)
{
    constexpr size_t kChunk = 64 * 1024;
    constexpr long long kLargest = 0x7FFFFFFF;
    bytes.clear();
    const HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const UniqueKernelHandle file(h);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(h, &size))
        return false;
    if (size.QuadPart > kLargest) {
        SetLastError(ERROR_FILE_TOO_LARGE);
        return false;
    }
    // Another program may be writing the file still: read on to its end, wherever
    // that is now, not to the size it had a moment ago.
    bytes.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    for (;;) {
        if (done == bytes.size())
            bytes.resize(done + kChunk);
        DWORD read = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        if (!ReadFile(h, bytes.data() + done, wanted, &read, nullptr)) {
            const DWORD error = GetLastError();
            bytes.clear();
            SetLastError(error);
            return false;
        }
        if (read == 0)
            break;
        done += read;
    }
    bytes.resize(done);
    return true;
}

std::string ReadFileBytes(const std::string& path)
{
    std::string bytes;
    if (!ReadFileBytes(path, bytes))
        throw CannotOpen(path, GetLastError());
    return bytes;
}
