#include "FirewallTestUtil.h"

#include "firewall/MonitorPortConfig.h"

#include <vector>

namespace {

const char MonitorKey[] = "SOFTWARE\\Veltra\\VOSKAR";
const char VeltraKey[] = "SOFTWARE\\Veltra";
const REGSAM Views[] = {KEY_WOW64_32KEY, KEY_WOW64_64KEY};

bool KeyExists(const char* path, REGSAM view)
{
    fw::UniqueRegKey key;
    return ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | view, key.put()) == ERROR_SUCCESS;
}

void DeleteMonitorKey(REGSAM view)
{
    ::RegDeleteKeyExA(HKEY_LOCAL_MACHINE, MonitorKey, view, 0);
}

bool WriteMonitorKey(REGSAM view, DWORD type, const std::vector<BYTE>& data)
{
    fw::UniqueRegKey key;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, MonitorKey, 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, key.put(),
                          nullptr) != ERROR_SUCCESS) {
        return false;
    }
    return type == REG_NONE || ::RegSetValueExA(key.get(), "PortNumber", 0, type, data.data(),
                                                static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

// Gives the monitor's key back in both registry views as the test found it.
class MonitorKeyGuard {
public:
    MonitorKeyGuard()
    {
        for (size_t i = 0; i < 2; ++i) {
            View& v = views_[i];
            v.flag = Views[i];
            v.veltraExisted = KeyExists(VeltraKey, v.flag);
            fw::UniqueRegKey key;
            v.keyExisted = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, MonitorKey, 0, KEY_READ | v.flag, key.put()) ==
                           ERROR_SUCCESS;
            DWORD size = 0;
            if (v.keyExisted && ::RegQueryValueExA(key.get(), "PortNumber", nullptr, &v.type, nullptr, &size) ==
                                    ERROR_SUCCESS) {
                v.data.resize(size);
                ::RegQueryValueExA(key.get(), "PortNumber", nullptr, &v.type, v.data.data(), &size);
            }
        }
    }
    ~MonitorKeyGuard()
    {
        for (const View& v : views_) {
            DeleteMonitorKey(v.flag);
            if (v.keyExisted) {
                EXPECT_TRUE(WriteMonitorKey(v.flag, v.type, v.data));
            } else if (!v.veltraExisted) {
                ::RegDeleteKeyExA(HKEY_LOCAL_MACHINE, VeltraKey, v.flag, 0);
            }
        }
    }

private:
    struct View {
        REGSAM flag = 0;
        bool veltraExisted = false;
        bool keyExisted = false;
        DWORD type = REG_NONE;
        std::vector<BYTE> data;
    };
    View views_[2];
};

std::vector<BYTE> Dword(uint32_t value)
{
    return {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)};
}

TEST(MonitorRegistry, PortNumberFromThe32BitView)
{
    MonitorKeyGuard guard;
    struct {
        const char* label;
        REGSAM view; // 0: no key at all
        DWORD type;  // REG_NONE: key without the value
        std::vector<BYTE> data;
        int expectedResult;
        int32_t expectedPort;
    } const cases[] = {
        {"no key", 0, REG_NONE, {}, -1, 58140},
        {"no value", KEY_WOW64_32KEY, REG_NONE, {}, -1, 58140},
        {"dword", KEY_WOW64_32KEY, REG_DWORD, Dword(4711), 0, 4711},
        {"zero", KEY_WOW64_32KEY, REG_DWORD, Dword(0), 0, 0},
        {"above 65535", KEY_WOW64_32KEY, REG_DWORD, Dword(70000), 0, 70000},
        {"short string", KEY_WOW64_32KEY, REG_SZ, {'1', '2', 0}, -2, 58140},
        {"longer string", KEY_WOW64_32KEY, REG_SZ, {'5', '8', '1', '4', '1', 0}, -1, 58140},
        {"binary of 4", KEY_WOW64_32KEY, REG_BINARY, Dword(4711), -2, 58140},
        {"binary of 8", KEY_WOW64_32KEY, REG_BINARY, {1, 2, 3, 4, 5, 6, 7, 8}, -1, 58140},
        {"64-bit view only", KEY_WOW64_64KEY, REG_DWORD, Dword(4711), -1, 58140},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        for (REGSAM view : Views) {
            DeleteMonitorKey(view);
        }
        ASSERT_TRUE(c.view == 0 || WriteMonitorKey(c.view, c.type, c.data));
        MonitorPortConfig config;
        EXPECT_EQ(c.expectedResult, config.ReadPortNumber());
        int32_t port = -1;
        config.GetPortNumber(port);
        EXPECT_EQ(c.expectedPort, port);
    }
}

// The set-up side runs with whatever port number the prefix's registry gives.
class MonitorSetUp : public SimFwTest {
protected:
    void SetUp() override
    {
        SimFwTest::SetUp();
        config.ReadPortNumber();
        config.GetPortNumber(port);
    }
    MonitorPortConfig config;
    int32_t port = 0;
};

TEST_F(MonitorSetUp, StatusOfBothProfiles)
{
    struct {
        const char* state;
        ConfigStatus expected;
    } const cases[] = {
        {"port Domain UDP %P enabled all v4 user - Other\nport Standard UDP %P enabled subnet any user - X\n",
         ConfigStatus::NothingToDo},
        {"port Domain UDP %P enabled subnet any user - %M\n", ConfigStatus::WorkNeeded},
        {"port Domain TCP %P enabled subnet any user - %M\nport Standard TCP %P enabled subnet any user - %M\n",
         ConfigStatus::WorkNeeded},
        {"port Domain UDP %P enabled subnet any user - %M\nport Standard UDP %P disabled subnet any user - %M\n",
         ConfigStatus::WorkNeeded},
        {"port Domain UDP %P enabled subnet any user - %M\nport Standard UDP %P enabled subnet any user - %M\n"
         "fail Domain IEnumVARIANT::Next 0x80004005\n",
         ConfigStatus::StatusFailed},
        {"port Standard UDP %P disabled subnet any user - %M\nfail Standard INetFwOpenPorts::get_Count 0x80004005\n",
         ConfigStatus::StatusFailed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        testsupport::SimFwStateFile state(Expand(c.state, port));
        EXPECT_EQ(c.expected, config.QueryConfigStatus());
    }
}

TEST_F(MonitorSetUp, SetUpAddsOrEnablesInBothProfiles)
{
    const char monitorLines[] = "port Domain UDP %P enabled subnet any user - %M\n"
                                "port Standard UDP %P enabled subnet any user - %M\n";
    struct {
        const char* state;
        int expected;
        const char* portsAfter;
    } const cases[] = {
        {"", 0, monitorLines},
        {"port Standard UDP %P disabled all v4 user - Old\nport Domain UDP %P enabled custom v6 user 10.0.0.1 %M\n", 0,
         "port Domain UDP %P enabled custom v6 user 10.0.0.1 %M\nport Standard UDP %P enabled all v4 user - Old\n"},
        {"fail Domain INetFwOpenPorts::Add 0x80070005\n", -1, "port Standard UDP %P enabled subnet any user - %M\n"},
        {"fail Standard INetFwPolicy::GetProfileByType 0x80070005\n", -1,
         "port Domain UDP %P enabled subnet any user - %M\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        testsupport::SimFwStateFile state(Expand(c.state, port));
        EXPECT_EQ(c.expected, config.SetUpMonitorPort(port));
        EXPECT_EQ(Expand(c.portsAfter, port), PortLines(state));
        EXPECT_EQ(0, testsupport::SimFwLiveObjects());
    }
}

TEST_F(MonitorSetUp, FirewallAvailability)
{
    testsupport::SimFwStateFile state;
    EXPECT_EQ(1, config.IsFirewallAvailable());
    ASSERT_TRUE(state.Write("unavailable\n"));
    EXPECT_EQ(0, config.IsFirewallAvailable());
}

} // namespace
