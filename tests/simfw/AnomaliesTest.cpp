// Anomalies a real service may show: each statement must change what the collection reports.

#include "SimFwHelpers.h"

#include "support/SimFwStateFile.h"

namespace simfwtest {
namespace {

using testsupport::SimFwStateFile;
using AnomaliesTest = SimFwTest;

const char kPorts[] = "port Domain UDP 1 enabled subnet any user - a\n"
                      "port Domain UDP 2 enabled subnet any user - b\n"
                      "port Standard TCP 3 enabled subnet any user - c\n";

LONG CountIn(Route route)
{
    fw::ComPtr<INetFwOpenPorts> ports;
    LONG count = -1;
    EXPECT_EQ(S_OK, OpenPorts(route, ports));
    EXPECT_EQ(S_OK, ports->get_Count(&count));
    return count;
}

size_t WalkIn(Route route)
{
    fw::ComPtr<INetFwOpenPorts> ports;
    EXPECT_EQ(S_OK, OpenPorts(route, ports));
    return Walk(ports.get()).size();
}

TEST_F(AnomaliesTest, UndercountReportsFewerThanTheEnumerationYields)
{
    SimFwStateFile state(std::string(kPorts) + "undercount Domain 1\nundercount Current 5\n");
    EXPECT_EQ(1, CountIn(Route::Domain));
    EXPECT_EQ(2u, WalkIn(Route::Domain));
    EXPECT_EQ(1, CountIn(Route::Standard));
    EXPECT_EQ(0, CountIn(Route::Current)); // never below zero
    EXPECT_EQ(1u, WalkIn(Route::Current));
}

TEST_F(AnomaliesTest, NonportAddsElementsThatAreNoPorts)
{
    SimFwStateFile state(std::string(kPorts) +
                         "nonport Domain 1\nnonport Domain 0 empty\nnonport Domain 99 number\nnonport Standard 0\n");
    fw::ComPtr<INetFwOpenPorts> ports;
    ASSERT_EQ(S_OK, OpenPorts(Route::Domain, ports));
    LONG count = 0;
    EXPECT_EQ(S_OK, ports->get_Count(&count));
    EXPECT_EQ(2, count);
    std::vector<Element> elements = Walk(ports.get());
    ASSERT_EQ(5u, elements.size());
    EXPECT_EQ(VT_EMPTY, elements[0].type);
    EXPECT_EQ(VT_DISPATCH, elements[1].type);
    EXPECT_EQ(L"", elements[1].port); // a dispatch object without INetFwOpenPort
    EXPECT_EQ(L"a/1/17", elements[2].port);
    EXPECT_EQ(L"b/2/17", elements[3].port);
    EXPECT_EQ(VT_I4, elements[4].type); // beyond the end: placed last
    EXPECT_EQ(2u, WalkIn(Route::Standard));
}

TEST_F(AnomaliesTest, GrowAppendsPortsAfterEachCount)
{
    SimFwStateFile state(std::string(kPorts) + "grow Domain 2 Late comer\n");
    EXPECT_EQ(4u, WalkIn(Route::Domain) + 2) << "no growth before a count";
    fw::ComPtr<INetFwOpenPorts> ports;
    ASSERT_EQ(S_OK, OpenPorts(Route::Domain, ports));
    LONG count = 0;
    ASSERT_EQ(S_OK, ports->get_Count(&count));
    EXPECT_EQ(2, count);
    std::vector<Element> elements = Walk(ports.get());
    ASSERT_EQ(4u, elements.size());
    EXPECT_EQ(L"Late comer/20000/17", elements[2].port);
    EXPECT_EQ(L"Late comer/20001/17", elements[3].port);
    EXPECT_EQ("port Domain UDP 20001 enabled subnet any user - Late comer", state.PortLines()[3]);

    EXPECT_EQ(4, CountIn(Route::Domain)); // a later manager reads them from the file, and grows again
    EXPECT_EQ(6u, WalkIn(Route::Domain));
    EXPECT_EQ(1, CountIn(Route::Standard));
}

} // namespace
} // namespace simfwtest
