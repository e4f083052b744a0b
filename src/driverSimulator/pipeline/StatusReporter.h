// Status lines for CUPS. Besides its own logs, the filter tells CUPS on
// standard error what happens to the job, in whole lines CUPS understands:
//   "PAGE: n 1"          one per card copy handed to the printer (accounting),
//   "INFO: Printing card n"  when a card has been sent,
//   "ERROR: <cause>"     for every failure that costs a card or the job,
//   "WARNING: <text>"    for a setting of the job that is not honoured as
//                        given (the job goes on with what the line names),
//   "INFO: <settings>"   once per job, the settings it is printed with.
// At LogLevel info these are the only lines of the filter a CUPS
// administrator sees: everything else the filter writes on standard error
// (the filter log, the pipeline trace) starts with no status prefix and is
// logged by CUPS at debug level.
// The exit status stays 0 for every failure but one, so these lines are how
// CUPS and the user learn that a job failed. The exception is a printer
// stream that cannot be written (a full disk, a closed pipe): nothing can
// reach the printer any more, so the job stops and the filter exits with 1.
#pragma once

#include <string>

namespace tavgdi {

// One job's status lines and counters: the page loop that runs the job owns
// it, and the pipeline parts that report reach it through the adapter that
// made them.
class StatusReporter {
public:
    // Where status lines go instead of standard error (the printer
    // application turns them into its job's state and messages).
    using Sink = void (*)(const std::string& line);

    explicit StatusReporter(Sink sink = nullptr);

    StatusReporter(const StatusReporter&) = delete;
    StatusReporter& operator=(const StatusReporter&) = delete;

    // The page loop hands raster page `page` (from 1) to the pipeline.
    void setCurrentPage(int page);

    // Why the face being processed is failing, in plain words ("the custom
    // black picture named in the job cannot be read"); the first cause noted
    // for a page wins and is used by the next faceFailed.
    void noteFailureCause(const char* cause);

    // A card was sent and flushed `copies` times: "INFO: Printing card n",
    // then one "PAGE: p 1" per copy (p counts every card copy of the job).
    void cardSent(int copies);

    // The current page did not make it to the printer: one "ERROR: " line
    // with the noted cause, else `fallbackCause`. A page already reported
    // (by pageError) is not reported again.
    void faceFailed(const char* fallbackCause);

    // The page loop could not use page `page` at all: "ERROR: Page n <what>".
    void pageError(int page, const char* what);

    // Anything else that costs the job: "ERROR: " + text.
    void jobError(const char* text);

    // A setting not honoured as given; the job goes on: "WARNING: " + text.
    void warning(const std::string& text);

    // What the job prints with, once per job: "INFO: " + summary.
    void jobSettings(const std::string& summary);

    // The printer stream could not be written: one "ERROR: " line saying so
    // (with `reason`, the system's words), however often it is called. From
    // then on no card is reported sent or failed: the job is lost as a whole.
    void streamFailed(const char* reason);
    bool isStreamLost() const { return streamLost; }

    int cardsSent() const { return sentCards; }
    int pagesPrinted() const { return printedPages; }

    // Writes one status line ("PAGE: 1 1") as a whole line to the sink, or
    // on standard error, starting a new line first when the pipeline log
    // left one open.
    void writeLine(const std::string& line);

private:
    Sink sink;
    int sentCards = 0;
    int printedPages = 0;
    int currentPage = 0;
    int lastReportedPage = 0;
    bool streamLost = false;
    std::string pendingCause;
};

} // namespace tavgdi
