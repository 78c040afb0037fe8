#pragma once
// The reports of the last runs, kept in the data folder beside the log, so that a user can
// always look back at what a run did with each file: one a run, named by its start time.

#include <string>
#include <vector>

#include "organize/run_report.h"

// How many runs' reports the data folder keeps.
inline constexpr int kKeptRunReports = 10;

// The path of a new run's report in the data folder, "report-YYYYMMDD-HHMMSS-mmm.json" of the
// local time now. The oldest are removed, so that with this one kKeptRunReports remain.
std::wstring NewKeptReportPath(const std::wstring& dataFolder);

// Tells every sink it holds (null ones are passed by).
class ReportTee : public RunReportSink {
public:
    explicit ReportTee(std::vector<RunReportSink*> sinks) : sinks_(std::move(sinks)) {}
    void OnFile(const FileReport& file) override
    {
        for (RunReportSink* sink : sinks_) {
            if (sink)
                sink->OnFile(file);
        }
    }

private:
    std::vector<RunReportSink*> sinks_;
};
