#pragma once

// A state file of the simulated firewall (simfw.dll) for one test.
//
//     testsupport::SimFwStateFile state("current Domain\n"
//                                       "port Domain UDP 58140 enabled subnet any user - Monitor\n");
//     ASSERT_TRUE(state.Ok());
//     ... run the code under test in this process ...
//     EXPECT_EQ(1u, state.PortLines().size());
//
// The constructor writes the text (UTF-8, the statements of simfw/README.md) to a fresh file in
// the temporary folder and points SIMFW_STATE of this process at it; simfw reads it whenever a
// firewall manager or port object is created. The destructor deletes the file and gives
// SIMFW_STATE its previous value back. Programs started from the test inherit the variable.

#include <string>
#include <vector>

namespace testsupport {

class SimFwStateFile {
public:
    explicit SimFwStateFile(const std::string& utf8Text = std::string());
    ~SimFwStateFile();
    SimFwStateFile(const SimFwStateFile&) = delete;
    SimFwStateFile& operator=(const SimFwStateFile&) = delete;

    // False when the file could not be created or written.
    bool Ok() const { return ok_; }
    // Windows path of the file (ANSI code page), as SIMFW_STATE holds it.
    const std::string& Path() const { return path_; }

    // Replaces the whole file; false on failure.
    bool Write(const std::string& utf8Text) const;
    // The whole file as simfw left it (UTF-8); empty when the file is missing.
    std::string Read() const;
    // The lines that start with "port ", in order, without their line ends (simfw writes LF).
    std::vector<std::string> PortLines() const;

private:
    std::string path_;
    std::string previous_; // empty: SIMFW_STATE was not set
    bool ok_ = false;
};

} // namespace testsupport
