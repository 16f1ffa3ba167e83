#include "bench/SilentBench.h"

#include "task/Administrator.h"
#include "bench/Timing.h"
#include "firewall/MonitorPortConfig.h"

namespace bench {

int RunSilentBench(std::FILE* out)
{
    MonitorPortConfig config;
    Stopwatch total;
    Stopwatch step;

    config.ReadPortNumber();
    const double readPort = step.ElapsedMs();
    step.Restart();
    const int available = config.IsFirewallAvailable();
    const double probe = step.ElapsedMs();
    step.Restart();
    const bool administrator = IsAdministrator();
    const double admin = step.ElapsedMs();
    step.Restart();
    const ConfigStatus status = config.QueryConfigStatus();
    const double configStatus = step.ElapsedMs();
    step.Restart();
    int32_t port = 0;
    config.GetPortNumber(port);
    const int setUp = config.SetUpMonitorPort(port);
    const double setUpMs = step.ElapsedMs();
    const double totalMs = total.ElapsedMs();

    const bool ok = available == 1 && administrator && status == ConfigStatus::WorkNeeded && setUp == 0;
    std::fprintf(out, "readPort=%.3f probe=%.3f admin=%.3f config=%.3f setUp=%.3f total=%.3f ok=%d\n", readPort,
                 probe, admin, configStatus, setUpMs, totalMs, ok ? 1 : 0);
    return ok ? 0 : 1;
}

} // namespace bench
