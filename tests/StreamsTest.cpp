#include "framework/Streams.h"

#include "framework/SysUtils.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

namespace {

UniqueKernelHandle Open(const std::string& path, DWORD access, DWORD share)
{
    const HANDLE h = CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
    return UniqueKernelHandle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

} // namespace

// Other programs keep our files open: a sync client writes or renames them, a virus
// scanner reads them. Only a holder that shares nothing keeps us out.
TEST(ReadFileBytes, ReadsWhatOtherHoldersShareAndReportsWhatTheyDoNot)
{
    TempFolder folder;
    const std::string path = folder.Path() + "memo.txt";
    const std::string content = std::string("{\\rtf1 \x8c\xa1\0tail}", 14) + std::string(200000, 'x');
    WriteWholeFile(path, content);
    constexpr DWORD kAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const struct {
        const char* holder;
        DWORD access, share;
        bool readable;
    } cases[] = {
        {"nobody", 0, 0, true},
        {"a reader sharing reading", GENERIC_READ, FILE_SHARE_READ, true},
        {"a writer sharing everything", GENERIC_WRITE, kAll, true},
        {"a renamer sharing everything", DELETE, kAll, true},
        {"a writer sharing only reading", GENERIC_WRITE, FILE_SHARE_READ, true},
        {"a reader sharing nothing", GENERIC_READ, 0, false},
    };
    for (const auto& c : cases) {
        UniqueKernelHandle held = c.access ? Open(path, c.access, c.share) : UniqueKernelHandle();
        ASSERT_TRUE(!c.access || held) << c.holder;
        std::string bytes = "left over";
        EXPECT_EQ(c.readable, ReadFileBytes(path, bytes)) << c.holder;
        if (c.readable) {
            EXPECT_EQ(content, bytes) << c.holder;
        } else {
            EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError()) << c.holder;
            EXPECT_TRUE(bytes.empty()) << c.holder;
        }
    }
}

TEST(ReadFileBytes, EmptyAndMissingFiles)
{
    TempFolder folder;
    WriteWholeFile(folder.Path() + "empty.txt", "");
    std::string bytes = "left over";
    EXPECT_TRUE(ReadFileBytes(folder.Path() + "empty.txt", bytes));
    EXPECT_TRUE(bytes.empty());

    const std::string missing = folder.Path() + "gone.txt";
    EXPECT_FALSE(ReadFileBytes(missing, bytes));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    try {
        ReadFileBytes(missing);
        ADD_FAILURE() << "a missing file was read";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(0, std::string(e.what()).find("Cannot open file \"" + missing + "\". ")) << e.what();
    }
}
