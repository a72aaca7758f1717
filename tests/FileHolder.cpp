#include "tests/FileHolder.h"

#include "framework/SysUtils.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

constexpr char kVariable[] = "PINOVA_TEST_HOLD";

std::string EventName(DWORD processId, const char* what)
{
    return "PinovaTestHold" + std::string(what) + std::to_string(processId);
}

} // namespace

FileHolder::FileHolder(const std::string& path, DWORD holdMs)
    : go_(CreateEventA(nullptr, TRUE, FALSE, EventName(GetCurrentProcessId(), "Go").c_str())),
      held_(CreateEventA(nullptr, TRUE, FALSE, EventName(GetCurrentProcessId(), "Held").c_str()))
{
    // What to hold and for how long reach the holder through its inherited environment.
    const std::string order = std::to_string(GetCurrentProcessId()) + "|" + std::to_string(holdMs) + "|" + path;
    SetEnvironmentVariableA(kVariable, order.c_str());
    process_ = RunTestInSecondProcess("FileHolder.DISABLED_HoldsTheFileItIsGiven");
    SetEnvironmentVariableA(kVariable, nullptr);
}

FileHolder::~FileHolder()
{
    if (process_ && WaitForSingleObject(process_.get(), 10000) == WAIT_TIMEOUT)
        TerminateProcess(process_.get(), 1);
}

bool FileHolder::Hold()
{
    if (!process_ || !go_ || !held_)
        return false;
    SetEvent(go_.get());
    const HANDLE either[] = {held_.get(), process_.get()};
    return WaitForMultipleObjects(2, either, FALSE, 20000) == WAIT_OBJECT_0;
}

bool FileHolder::WaitForRelease(DWORD timeoutMs)
{
    return process_ && PumpUntil([&] { return WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0; }, timeoutMs);
}

// The holder's side, run in the second process.
TEST(FileHolder, DISABLED_HoldsTheFileItIsGiven)
{
    char order[MAX_PATH + 64] = {};
    ASSERT_NE(0u, GetEnvironmentVariableA(kVariable, order, sizeof(order)));
    std::istringstream in(order);
    DWORD parent = 0, holdMs = 0;
    char bar = 0;
    std::string path;
    in >> parent >> bar >> holdMs >> bar;
    std::getline(in, path);
    UniqueKernelHandle go(OpenEventA(SYNCHRONIZE, FALSE, EventName(parent, "Go").c_str()));
    UniqueKernelHandle held(OpenEventA(EVENT_MODIFY_STATE, FALSE, EventName(parent, "Held").c_str()));
    ASSERT_TRUE(go && held);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(go.get(), 60000));
    // The program may have the file open for a moment itself.
    UniqueKernelHandle file;
    for (int tries = 0; !file && tries < 500; ++tries) {
        const HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE)
            file.reset(h);
        else
            Sleep(10);
    }
    ASSERT_TRUE(file) << path;
    SetEvent(held.get());
    Sleep(holdMs);
}
