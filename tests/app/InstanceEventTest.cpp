// The single-instance event: a second creation sees the first; the event is in the global
// namespace with a NULL DACL and an inheritable handle, as on NT 5 and later (this prefix).
#include "app/InstanceEvent.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

TEST(InstanceEvent, ASecondCreationReportsAnotherInstanceUntilBothAreClosed)
{
    fw::UniqueHandle first;
    ASSERT_EQ(0, CreateInstanceEvent(first));
    ASSERT_TRUE(first);
    fw::UniqueHandle second;
    EXPECT_EQ(1, CreateInstanceEvent(second));
    EXPECT_TRUE(second);
    // The out-parameter's earlier handle is closed, not leaked or kept.
    EXPECT_EQ(1, CreateInstanceEvent(second));

    second.reset();
    EXPECT_EQ(1, CreateInstanceEvent(second)) << "the first handle still holds the event";
    second.reset();
    first.reset();
    fw::UniqueHandle again;
    EXPECT_EQ(0, CreateInstanceEvent(again));
}

TEST(InstanceEvent, IsGlobalOpenToEveryoneAndInheritable)
{
    fw::UniqueHandle event;
    ASSERT_EQ(0, CreateInstanceEvent(event));

    const fw::UniqueHandle global(::OpenEventA(READ_CONTROL | SYNCHRONIZE, FALSE, "Global\\Patch::ZORVANE"));
    ASSERT_TRUE(global);
    EXPECT_FALSE(fw::UniqueHandle(::OpenEventA(SYNCHRONIZE, FALSE, "Patch::ZORVANE")));

    DWORD flags = 0;
    ASSERT_TRUE(::GetHandleInformation(event.get(), &flags));
    EXPECT_TRUE(flags & HANDLE_FLAG_INHERIT);

    DWORD needed = 0;
    ::GetKernelObjectSecurity(global.get(), DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
    ASSERT_GT(needed, 0u);
    std::vector<char> buffer(needed);
    ASSERT_TRUE(::GetKernelObjectSecurity(global.get(), DACL_SECURITY_INFORMATION, buffer.data(), needed, &needed));
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    ASSERT_TRUE(::GetSecurityDescriptorDacl(buffer.data(), &present, &dacl, &defaulted));
    EXPECT_TRUE(present);
    EXPECT_EQ(nullptr, dacl) << "a NULL DACL grants every account access";
}

} // namespace
