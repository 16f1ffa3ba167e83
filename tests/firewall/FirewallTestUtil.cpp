#include "FirewallTestUtil.h"

#include <windows.h>

#include <utility>

const char MonitorNameUtf8[] = "Tessaly ドライバ配信 監視プログラム";

std::string Expand(std::string text, int32_t port)
{
    const std::pair<std::string, std::string> replacements[] = {{"%M", MonitorNameUtf8},
                                                                 {"%P", std::to_string(port)}};
    for (const auto& [token, value] : replacements) {
        for (size_t at = text.find(token); at != std::string::npos; at = text.find(token, at + value.size())) {
            text.replace(at, token.size(), value);
        }
    }
    return text;
}

std::string Ansi(const std::string& utf8)
{
    std::wstring wide(utf8.size() + 1, L'\0');
    const int wideLength = ::MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    std::string ansi(static_cast<size_t>(wideLength) * 2 + 1, '\0');
    const int length = ::WideCharToMultiByte(932, 0, wide.c_str(), -1, &ansi[0], static_cast<int>(ansi.size()),
                                             nullptr, nullptr);
    ansi.resize(length > 0 ? static_cast<size_t>(length - 1) : 0);
    return ansi;
}

std::string PortLines(const testsupport::SimFwStateFile& state)
{
    std::string text;
    for (const std::string& line : state.PortLines()) {
        text += line + "\n";
    }
    return text;
}

Snapshot TakeSnapshot(ProfileType profile)
{
    Snapshot snapshot;
    ListOpenPorts(profile, nullptr, 0, &snapshot.size);
    std::vector<char> block(snapshot.size);
    snapshot.result = ListOpenPorts(profile, block.data(), snapshot.size, &snapshot.size);
    if (block.size() >= 4) {
        snapshot.count = reinterpret_cast<const OpenPortTable*>(block.data())->count;
        for (uint32_t i = 0; OpenPortTableSize(i + 1) <= block.size(); ++i) {
            snapshot.records.push_back(*OpenPortTableRecord(block.data(), i));
        }
    }
    return snapshot;
}
