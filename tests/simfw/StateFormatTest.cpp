// The state file as scenario authors write it and as simfw writes it back: odd spellings read,
// canonical text written, names carried exactly, broken files refused loudly.

#include "SimFwHelpers.h"

#include "support/SimFwStateFile.h"

#include "framework/Handles.h"

#include <windows.h>

namespace simfwtest {
namespace {

using testsupport::SimFwStateFile;
using StateFormatTest = SimFwTest;

TEST_F(StateFormatTest, OneChangeWritesTheWholeFileCanonically)
{
    SimFwStateFile state("# scenario: odd spellings\r\n"
                         "\r\n"
                         "fail Domain INetFwOpenPorts::Remove 0x80070005\r\n"
                         "port standard 17 500 ENABLED 2 2 User 10.0.0.1 VPN  two  blanks \r\n"
                         "  PORT Domain tcp 80 Disabled all V4 BUILTIN - Web\r\n"
                         "Current Domain\n"
                         "port Domain 1 7 enabled subnet v6 user -\n"
                         "delay   IEnumVARIANT::Next 0\n"
                         "nonport Standard 3 empty\n"
                         "grow Standard 1 Later\n");
    ASSERT_EQ(S_OK, AddPort(Route::Domain, L"Monitor", 58140, NET_FW_IP_PROTOCOL_UDP));
    EXPECT_EQ("current Domain\n"
              "port Domain TCP 80 disabled all v4 builtin - Web\n"
              "port Domain 1 7 enabled subnet v6 user -\n"
              "port Domain UDP 58140 enabled subnet any user - Monitor\n"
              "port Standard UDP 500 enabled custom any user 10.0.0.1 VPN  two  blanks \n"
              "fail Domain INetFwOpenPorts::Remove 0x80070005\n"
              "delay   IEnumVARIANT::Next 0\n"
              "nonport Standard 3 empty\n"
              "grow Standard 1 Later\n",
              state.Read());
}

TEST_F(StateFormatTest, MissingFileIsAnEmptyFirewall)
{
    SimFwStateFile state;
    ASSERT_TRUE(::DeleteFileA(state.Path().c_str()));
    fw::ComPtr<INetFwOpenPorts> ports;
    ASSERT_EQ(S_OK, OpenPorts(Route::Current, ports));
    LONG count = -1;
    EXPECT_EQ(S_OK, ports->get_Count(&count));
    EXPECT_EQ(0, count);
    fw::ComPtr<INetFwMgr> manager;
    ASSERT_EQ(S_OK, fw::CreateInProc(CLSID_NetFwMgr, IID_INetFwMgr, manager));
    NET_FW_PROFILE_TYPE current = NET_FW_PROFILE_DOMAIN;
    EXPECT_EQ(S_OK, manager->get_CurrentProfileType(&current));
    EXPECT_EQ(NET_FW_PROFILE_STANDARD, current);

    ASSERT_EQ(S_OK, AddPort(Route::Standard, L"x", 1, NET_FW_IP_PROTOCOL_TCP));
    EXPECT_EQ("current Standard\nport Standard TCP 1 enabled subnet any user - x\n", state.Read());
}

TEST_F(StateFormatTest, NamesTravelExactlyWhateverTheirLength)
{
    // 258 ASCII bytes, then a double-byte character (in code page 932) on bytes 258 and 259.
    std::wstring longName = std::wstring(258, L'a') + L"監視プログラム";
    const std::wstring names[] = {L"Tessaly ドライバ配信 監視プログラム", L"inner  and trailing  ", longName};
    SimFwStateFile state;
    for (size_t i = 0; i < 3; ++i) {
        ASSERT_EQ(S_OK, AddPort(Route::Domain, names[i].c_str(), static_cast<LONG>(100 + i), NET_FW_IP_PROTOCOL_UDP));
    }
    // Written as UTF-8 and read back the same by a fresh manager.
    EXPECT_EQ("port Domain UDP 100 enabled subnet any user - Tessaly \xE3\x83\x89\xE3\x83\xA9\xE3\x82\xA4\xE3\x83\x90"
              "\xE9\x85\x8D\xE4\xBF\xA1 \xE7\x9B\xA3\xE8\xA6\x96\xE3\x83\x97\xE3\x83\xAD\xE3\x82\xB0\xE3\x83\xA9\xE3\x83\xA0",
              state.PortLines()[0]);
    fw::ComPtr<INetFwOpenPorts> ports;
    ASSERT_EQ(S_OK, OpenPorts(Route::Domain, ports));
    for (size_t i = 0; i < 3; ++i) {
        fw::ComPtr<INetFwOpenPort> port;
        ASSERT_EQ(S_OK, ports->Item(static_cast<LONG>(100 + i), NET_FW_IP_PROTOCOL_UDP, port.put()));
        EXPECT_EQ(names[i], NameOf(port.get()));
    }
}

TEST_F(StateFormatTest, TextsTheFileCannotHoldAreRefused)
{
    const char text[] = "current Standard\nport Domain UDP 58140 enabled subnet any user - Monitor\n";
    SimFwStateFile state(text);
    fw::ComPtr<INetFwOpenPorts> ports;
    ASSERT_EQ(S_OK, OpenPorts(Route::Domain, ports));
    fw::ComPtr<INetFwOpenPort> port;
    ASSERT_EQ(S_OK, ports->Item(58140, NET_FW_IP_PROTOCOL_UDP, port.put()));
    const wchar_t unpaired[] = {L'a', 0xD800, L'b', 0};
    for (const wchar_t* name : {L"two\nlines", L"carriage\rreturn", L" leading blank", unpaired}) {
        fw::UniqueBstr bstr(::SysAllocString(name));
        EXPECT_EQ(E_INVALIDARG, port->put_Name(bstr.get()));
    }
    for (const wchar_t* addresses : {L"10.0.0.1, 10.0.0.2", L"a\tb", L"x\n"}) {
        fw::UniqueBstr bstr(::SysAllocString(addresses));
        EXPECT_EQ(E_INVALIDARG, port->put_RemoteAddresses(bstr.get()));
    }
    for (LONG number : {0L, 65536L, -1L}) {
        EXPECT_EQ(E_INVALIDARG, port->put_Port(number));
    }
    EXPECT_EQ(E_INVALIDARG, port->put_Protocol(static_cast<NET_FW_IP_PROTOCOL>(1)));
    EXPECT_EQ(E_INVALIDARG, port->put_Scope(static_cast<NET_FW_SCOPE>(3)));
    EXPECT_EQ(E_INVALIDARG, port->put_IpVersion(static_cast<NET_FW_IP_VERSION>(-1)));
    EXPECT_EQ(text, state.Read());
    EXPECT_EQ(L"Monitor", NameOf(port.get()));
}

// Points the process's standard error at a temporary file while alive.
class CapturedStderr {
public:
    CapturedStderr() : previous_(::GetStdHandle(STD_ERROR_HANDLE))
    {
        char folder[MAX_PATH + 1] = {};
        char path[MAX_PATH + 1] = {};
        ::GetTempPathA(sizeof folder, folder);
        ::GetTempFileNameA(folder, "err", 0, path);
        HANDLE file = ::CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        file_.reset(file == INVALID_HANDLE_VALUE ? nullptr : file);
        ::SetStdHandle(STD_ERROR_HANDLE, file_.get());
    }
    ~CapturedStderr() { ::SetStdHandle(STD_ERROR_HANDLE, previous_); }

    std::string Text() const
    {
        std::string text;
        char chunk[1024];
        DWORD got = 0;
        ::SetFilePointer(file_.get(), 0, nullptr, FILE_BEGIN);
        while (::ReadFile(file_.get(), chunk, sizeof chunk, &got, nullptr) && got != 0) {
            text.append(chunk, got);
        }
        return text;
    }

private:
    HANDLE previous_;
    fw::UniqueHandle file_;
};

TEST_F(StateFormatTest, BrokenFileFailsEveryCreationAndSaysWhere)
{
    const struct {
        const char* line;
        const char* reason;
    } cases[] = {
        {"allow Domain UDP 1", "unknown statement"},
        {"port Domain UDP 70000 enabled subnet any user - x", "PORT"},
        {"port Domain UDP 1 enabled subnet any user", "REMOTE"},
        {"port Both UDP 1 enabled subnet any user - x", "PROFILE"},
        {"port Domain UDP 5 on subnet any user - x", "enabled or disabled"},
        {"port Domain UDP 9 enabled subnet any user - \xFF\xFE", "UTF-8"},
        {"port Domain UDP 58140 enabled all any user - again", "already"},
        {"current Standard", "second current"},
        {"fail Domain INetFwOpenPorts::add 0x80070005", "METHOD"},
        {"fail Domain INetFwOpenPorts::Add E_ACCESSDENIED", "HRESULT"},
        {"fail Public INetFwOpenPorts::Add 5", "PROFILE"},
        {"fail Domain INetFwOpenPorts::Add 0", "S_OK"},
        {"delay INetFwOpenPorts::Add soon", "MILLISECONDS"},
        {"unavailable now", "unexpected text"},
        {"undercount Domain -1", "N"},
        {"nonport Domain 0 string", "kind"},
        {"grow Domain 0 None", "N"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        std::string line = c.line;
        CapturedStderr captured;
        SimFwStateFile state("current Domain\nport Domain UDP 58140 enabled subnet any user - Monitor\n" + line + "\n");
        fw::ComPtr<INetFwMgr> manager;
        EXPECT_EQ(E_FAIL, fw::CreateInProc(CLSID_NetFwMgr, IID_INetFwMgr, manager));
        fw::ComPtr<INetFwOpenPort> port;
        EXPECT_EQ(E_FAIL, fw::CreateInProc(CLSID_NetFwOpenPort, IID_INetFwOpenPort, port));
        std::string message = captured.Text();
        EXPECT_NE(std::string::npos, message.find(state.Path())) << message;
        EXPECT_NE(std::string::npos, message.find("line 3: ")) << message;
        EXPECT_NE(std::string::npos, message.find(c.reason)) << message;
        EXPECT_NE(std::string::npos, message.find(": " + line + "\n")) << message;
    }
}

} // namespace
} // namespace simfwtest
