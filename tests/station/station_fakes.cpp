#include "station_fakes.h"

#include "station/mac_pool.h"

namespace {

class FakeJob final : public IBoardJob {
public:
    FakeJob(IMessageTarget& target, JobScript script, JobLog& log)
        : target(target), script(std::move(script)), log(log)
    {
    }
    // Each status gets a record of its own: the station reads it when it
    // handles the message, after the later ones are posted.
    void Start() override
    {
        for (const std::int32_t code : script.statuses) {
            JobStatus& status = records.emplace_back();
            status.code = code;
            if (code == kStatusOpenFailed) {
                status.openFailure = DescribeOpenError({script.openFailure, "fake"});
                status.hopeless = script.openFailure == PortOpenFailure::NotASerialPort;
            }
            target.Post(WM_JOB_STATUS, reinterpret_cast<WParam>(&records.back()), 0);
        }
    }
    void Stop(const std::function<void()>&) override { log.stopped = true; }
    void Join(const std::function<void()>&) override { log.joined = true; }

private:
    IMessageTarget& target;
    const JobScript script;
    JobLog& log;
    std::deque<JobStatus> records;
};

}  // namespace

std::unique_ptr<IBoardJob> FakeJobs::Make(const std::string& port, const std::string& mac,
                                          IMessageTarget& target)
{
    std::deque<JobScript>& waiting = scripts[port];
    JobScript script = waiting.empty() ? JobScript{} : waiting.front();
    if (!waiting.empty())
        waiting.pop_front();
    made.push_back({port, mac});
    return std::make_unique<FakeJob>(target, std::move(script), made.back());
}

PoolResult FakePool::Allocate(const std::vector<std::string>& ports, std::string_view,
                              std::string_view)
{
    if (!failures.empty()) {
        const PoolFailure failure = failures.front();
        failures.pop_front();
        return PoolResult::Fail(failure, "pool says " + std::string(PoolFailureName(failure)));
    }
    PoolResult result;
    for (std::size_t i = 0; i < ports.size(); ++i)
        result.macs.push_back(MacValueText(next++));
    return result;
}

PoolResult FakePool::Record(const std::string& mac, PoolState state, std::string_view,
                            std::string_view, std::string_view)
{
    states[mac] = state;
    return {};
}

PoolResult FakePool::Summarize(PoolSummary& summary)
{
    summary.left = 100;
    return {};
}

void RecordingObserver::Note(const std::string& text, const std::string& port)
{
    notes.push_back(port.empty() ? text : port + ": " + text);
    if (onNote)
        onNote(text);
}

void RecordingObserver::BoardStarted(std::size_t, const std::string& port, const std::string& mac)
{
    started.emplace_back(port, mac);
}

void RecordingObserver::BoardEnded(std::size_t board, const BoardEnd& end)
{
    ended.push_back({started[board].first, started[board].second, end.result});
    if (onEnd)
        onEnd(ended.back());
}
