#include "StateFormat.h"

#include "Methods.h"
#include "Utf.h"

#include <cstdlib>

namespace simfw {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameWord(const std::string& field, const char* word)
{
    size_t i = 0;
    for (; i < field.size() && word[i] != '\0'; ++i) {
        if (Lower(field[i]) != word[i]) {
            return false;
        }
    }
    return i == field.size() && word[i] == '\0';
}

// The blank-separated fields of one line, the last one possibly taking the rest of the line.
class Fields {
public:
    explicit Fields(const std::string& line) : line_(line) {}

    bool Next(std::string& field)
    {
        SkipBlanks();
        size_t start = pos_;
        while (pos_ < line_.size() && !IsBlank(line_[pos_])) {
            ++pos_;
        }
        field = line_.substr(start, pos_ - start);
        return !field.empty();
    }

    std::string Rest()
    {
        SkipBlanks();
        std::string rest = line_.substr(pos_);
        pos_ = line_.size();
        return rest;
    }

    bool AtEnd()
    {
        SkipBlanks();
        return pos_ == line_.size();
    }

private:
    void SkipBlanks()
    {
        while (pos_ < line_.size() && IsBlank(line_[pos_])) {
            ++pos_;
        }
    }

    const std::string& line_;
    size_t pos_ = 0;
};

bool ParseNumber(const std::string& field, long long min, long long max, long long& value)
{
    if (field.empty() || field.size() > 12) {
        return false;
    }
    size_t start = field[0] == '-' ? 1 : 0;
    if (start == field.size()) {
        return false;
    }
    for (size_t i = start; i < field.size(); ++i) {
        if (field[i] < '0' || field[i] > '9') {
            return false;
        }
    }
    value = std::strtoll(field.c_str(), nullptr, 10);
    return value >= min && value <= max;
}

bool ParseLong(const std::string& field, long long min, long long max, LONG& value)
{
    long long number = 0;
    if (!ParseNumber(field, min, max, number)) {
        return false;
    }
    value = static_cast<LONG>(number);
    return true;
}

// 0x-prefixed hex of up to 8 digits, or a decimal in the signed or unsigned 32-bit range.
bool ParseHresult(const std::string& field, HRESULT& value)
{
    if (field.size() > 2 && field[0] == '0' && Lower(field[1]) == 'x') {
        if (field.size() > 10) {
            return false;
        }
        for (size_t i = 2; i < field.size(); ++i) {
            char c = Lower(field[i]);
            if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
                return false;
            }
        }
        value = static_cast<HRESULT>(std::strtoul(field.c_str() + 2, nullptr, 16));
        return true;
    }
    long long number = 0;
    if (!ParseNumber(field, -2147483648LL, 4294967295LL, number)) {
        return false;
    }
    value = static_cast<HRESULT>(static_cast<unsigned long>(number & 0xFFFFFFFFLL));
    return true;
}

bool ParseProfile(const std::string& field, Profile& profile)
{
    if (SameWord(field, "domain")) {
        profile = Profile::Domain;
        return true;
    }
    if (SameWord(field, "standard")) {
        profile = Profile::Standard;
        return true;
    }
    return false;
}

bool ParseSelector(const std::string& field, ProfileSelector& selector)
{
    Profile profile = Profile::Standard;
    if (ParseProfile(field, profile)) {
        selector = profile == Profile::Domain ? ProfileSelector::Domain : ProfileSelector::Standard;
        return true;
    }
    if (SameWord(field, "current")) {
        selector = ProfileSelector::Current;
        return true;
    }
    if (field == "*") {
        selector = ProfileSelector::Any;
        return true;
    }
    return false;
}

// A keyword out of `words`; its position is the value.
bool ParseWord(const std::string& field, const char* const* words, LONG count, LONG& value)
{
    for (LONG i = 0; i < count; ++i) {
        if (SameWord(field, words[i])) {
            value = i;
            return true;
        }
    }
    return false;
}

// A keyword out of `words`, or its value as a number.
bool ParseChoice(const std::string& field, const char* const* words, LONG count, LONG& value)
{
    return ParseWord(field, words, count, value) || ParseLong(field, 0, count - 1, value);
}

const char* const kScopes[] = {"all", "subnet", "custom"};
const char* const kIpVersions[] = {"v4", "v6", "any"};
const char* const kNonPortKinds[] = {"object", "empty", "number"}; // in NonPortKind's order

bool ParseProtocol(const std::string& field, LONG& protocol)
{
    if (SameWord(field, "tcp")) {
        protocol = 6;
        return true;
    }
    if (SameWord(field, "udp")) {
        protocol = 17;
        return true;
    }
    return ParseLong(field, 0, 255, protocol);
}

bool ParseFlag(const std::string& field, const char* yes, const char* no, bool& value)
{
    if (SameWord(field, yes)) {
        value = true;
        return true;
    }
    if (SameWord(field, no)) {
        value = false;
        return true;
    }
    return false;
}

// Each parser returns nullptr when the line is fine, otherwise the reason.
const char* ParsePort(Fields& fields, FirewallState& state)
{
    std::string field;
    Profile profile = Profile::Standard;
    auto entry = std::make_shared<PortEntry>();
    if (!fields.Next(field) || !ParseProfile(field, profile)) {
        return "PROFILE must be Domain or Standard";
    }
    if (!fields.Next(field) || !ParseProtocol(field, entry->protocol)) {
        return "PROTOCOL must be TCP, UDP or a number up to 255";
    }
    if (!fields.Next(field) || !ParseLong(field, 1, 65535, entry->port)) {
        return "PORT must be a number from 1 to 65535";
    }
    if (!fields.Next(field) || !ParseFlag(field, "enabled", "disabled", entry->enabled)) {
        return "expected enabled or disabled";
    }
    if (!fields.Next(field) || !ParseChoice(field, kScopes, 3, entry->scope)) {
        return "SCOPE must be all, subnet or custom";
    }
    if (!fields.Next(field) || !ParseChoice(field, kIpVersions, 3, entry->ipVersion)) {
        return "IPVERSION must be v4, v6 or any";
    }
    if (!fields.Next(field) || !ParseFlag(field, "builtin", "user", entry->builtIn)) {
        return "expected user or builtin";
    }
    if (!fields.Next(field)) {
        return "REMOTE is missing (- for none)";
    }
    if (field != "-" && !Utf8ToWide(field, entry->remoteAddresses)) {
        return "REMOTE is not valid UTF-8";
    }
    if (!Utf8ToWide(fields.Rest(), entry->name)) {
        return "NAME is not valid UTF-8";
    }
    PortList& list = state.PortsOf(profile);
    for (const auto& other : list) {
        if (other->port == entry->port && other->protocol == entry->protocol) {
            return "a port of this number and protocol is already in the profile";
        }
    }
    list.push_back(entry);
    return nullptr;
}

const char* ParseMethod(Fields& fields, Statement& statement)
{
    if (!fields.Next(statement.method) || !IsKnownMethod(statement.method.c_str())) {
        return "unknown METHOD (see simfw/README.md for the names)";
    }
    return nullptr;
}

const char* ParseProfileField(Fields& fields, Statement& statement)
{
    std::string field;
    if (!fields.Next(field) || !ParseSelector(field, statement.profile)) {
        return "PROFILE must be Domain, Standard, Current or *";
    }
    return nullptr;
}

const char* ParseStatement(const std::string& keyword, Fields& fields, Statement& statement)
{
    std::string field;
    const char* reason = nullptr;
    if (SameWord(keyword, "fail")) {
        statement.kind = StatementKind::Fail;
        if ((reason = ParseProfileField(fields, statement)) || (reason = ParseMethod(fields, statement))) {
            return reason;
        }
        if (!fields.Next(field) || !ParseHresult(field, statement.result)) {
            return "HRESULT must be 0x followed by hex digits, or a decimal number";
        }
        // S_OK is what every call answers without a fault: such a line would change nothing.
        if (statement.result == S_OK) {
            return "HRESULT 0 (S_OK) is no fault";
        }
    } else if (SameWord(keyword, "delay")) {
        statement.kind = StatementKind::Delay;
        LONG milliseconds = 0;
        if ((reason = ParseMethod(fields, statement))) {
            return reason;
        }
        if (!fields.Next(field) || !ParseLong(field, 0, 600000, milliseconds)) {
            return "MILLISECONDS must be a number from 0 to 600000";
        }
        statement.milliseconds = static_cast<DWORD>(milliseconds);
    } else if (SameWord(keyword, "unavailable")) {
        statement.kind = StatementKind::Unavailable;
    } else if (SameWord(keyword, "undercount")) {
        statement.kind = StatementKind::Undercount;
        if ((reason = ParseProfileField(fields, statement))) {
            return reason;
        }
        if (!fields.Next(field) || !ParseLong(field, 0, 1000000, statement.count)) {
            return "N must be a number from 0 to 1000000";
        }
    } else if (SameWord(keyword, "nonport")) {
        statement.kind = StatementKind::NonPort;
        if ((reason = ParseProfileField(fields, statement))) {
            return reason;
        }
        if (!fields.Next(field) || !ParseLong(field, 0, 1000000, statement.index)) {
            return "INDEX must be a number from 0 to 1000000";
        }
        LONG kind = 0;
        if (fields.Next(field)) {
            if (!ParseWord(field, kNonPortKinds, 3, kind)) {
                return "the element kind must be object, empty or number";
            }
            statement.nonPort = static_cast<NonPortKind>(kind);
        }
    } else if (SameWord(keyword, "grow")) {
        statement.kind = StatementKind::Grow;
        if ((reason = ParseProfileField(fields, statement))) {
            return reason;
        }
        if (!fields.Next(field) || !ParseLong(field, 1, 1000, statement.count)) {
            return "N must be a number from 1 to 1000";
        }
        if (!Utf8ToWide(fields.Rest(), statement.name)) {
            return "NAME is not valid UTF-8";
        }
    } else {
        return "unknown statement";
    }
    return fields.AtEnd() ? nullptr : "unexpected text after the last field";
}

const char* ParseLine(const std::string& line, FirewallState& state, bool& sawCurrent)
{
    Fields fields(line);
    std::string keyword;
    if (!fields.Next(keyword) || keyword[0] == '#') {
        return nullptr;
    }
    if (SameWord(keyword, "port")) {
        return ParsePort(fields, state);
    }
    if (SameWord(keyword, "current")) {
        std::string field;
        if (sawCurrent) {
            return "a second current statement";
        }
        if (!fields.Next(field) || !ParseProfile(field, state.current) || !fields.AtEnd()) {
            return "expected current Domain or current Standard";
        }
        sawCurrent = true;
        return nullptr;
    }
    Statement statement;
    statement.text = line;
    const char* reason = ParseStatement(keyword, fields, statement);
    if (!reason) {
        state.statements.push_back(statement);
    }
    return reason;
}

void AppendWide(std::string& text, const std::wstring& wide)
{
    std::string utf8;
    WideToUtf8(wide, utf8); // the port objects accept only text that converts
    text += utf8;
}

} // namespace

bool ParseState(const std::string& text, FirewallState& state, std::string& error)
{
    state = FirewallState();
    bool sawCurrent = false;
    size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    for (int number = 1; start < text.size(); ++number) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (const char* reason = ParseLine(line, state, sawCurrent)) {
            error = "line " + std::to_string(number) + ": " + reason + ": " + line;
            return false;
        }
        start = end + 1;
    }
    return true;
}

std::string FormatState(const FirewallState& state)
{
    static const char* const profiles[] = {"Domain", "Standard"};
    std::string text = std::string("current ") + profiles[static_cast<int>(state.current)] + "\n";
    for (int profile = 0; profile < 2; ++profile) {
        for (const auto& entry : state.ports[profile]) {
            text += "port ";
            text += profiles[profile];
            text += ' ';
            text += entry->protocol == 6 ? "TCP" : entry->protocol == 17 ? "UDP" : std::to_string(entry->protocol);
            text += ' ' + std::to_string(entry->port);
            text += entry->enabled ? " enabled " : " disabled ";
            text += kScopes[entry->scope];
            text += ' ';
            text += kIpVersions[entry->ipVersion];
            text += entry->builtIn ? " builtin " : " user ";
            if (entry->remoteAddresses.empty()) {
                text += '-';
            } else {
                AppendWide(text, entry->remoteAddresses);
            }
            if (!entry->name.empty()) {
                text += ' ';
                AppendWide(text, entry->name);
            }
            text += '\n';
        }
    }
    for (const Statement& statement : state.statements) {
        text += statement.text + '\n';
    }
    return text;
}

} // namespace simfw
