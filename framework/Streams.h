#pragma once
// Byte streams: the common interface, one in memory and one over a file; and the
// one way the program reads a whole file.

#include "framework/Handles.h"

#include <string>
#include <utility>

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
public:
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;
    virtual ~TStream() = default;

    // Up to count bytes; fewer (0 at the end) when the stream has no more.
    virtual long Read(void* buffer, long count) = 0;
    // The number of bytes written.
    virtual long Write(const void* buffer, long count) = 0;
    // The new position.
    virtual long long Seek(long long offset, TSeekOrigin origin) = 0;

    long long Position() { return Seek(0, TSeekOrigin::soCurrent); }
    void SetPosition(long long position) { Seek(position, TSeekOrigin::soBeginning); }
    long long Size();
};

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    // Holds `data`, positioned at its start.
    explicit TMemoryStream(std::string data) : data_(std::move(data)) {}

    long Read(void* buffer, long count) override;
    long Write(const void* buffer, long count) override;
    long long Seek(long long offset, TSeekOrigin origin) override;

    const std::string& DataString() const { return data_; }
    void Clear();

private:
    std::string data_;
    size_t position_ = 0;
};

enum TFileMode : unsigned {
    fmOpenRead = 0,
    fmOpenWrite = 1,
    fmOpenReadWrite = 2,
    fmShareDenyWrite = 0x20,
    fmCreate = 0xFF00,  // created, or emptied when it exists
};

class TFileStream : public TStream {
public:
    // Raises EFOpenError or EFCreateError with the platform's reason.
    TFileStream(const std::string& fileName, unsigned mode);

    long Read(void* buffer, long count) override;
    long Write(const void* buffer, long count) override;
    long long Seek(long long offset, TSeekOrigin origin) override;

private:
    UniqueKernelHandle file_;
};

// The whole file into `bytes` (whose storage is reused). The file is opened with
// full sharing: a sync client, the indexer or a virus scanner that has it open, for
// writing or deleting too, does not fail the read. False when it cannot be opened
// or read, with the reason in GetLastError; `bytes` is then empty.
bool ReadFileBytes(const std::string& path, std::string& bytes);
// The same, raising EFOpenError "Cannot open file "%s". %s" when it cannot.
std::string ReadFileBytes(const std::string& path);
