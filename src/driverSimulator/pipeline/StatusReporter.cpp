#include "pipeline/StatusReporter.h"

#include <cstdio>

#include "InternalLog.h"

namespace tavgdi {

StatusReporter::StatusReporter(Sink s) : sink(s)
{
}

void StatusReporter::setCurrentPage(int page)
{
    currentPage = page;
    pendingCause.clear();
}

void StatusReporter::noteFailureCause(const char* cause)
{
    if (cause != nullptr && pendingCause.empty())
        pendingCause = cause;
}

void StatusReporter::writeLine(const std::string& line)
{
    if (sink != nullptr) {
        sink(line);
        return;
    }
    // CUPS reads its messages line by line: a status glued to the end of an
    // open log line would be lost. A line end or other control byte from a
    // cause's text is written escaped, so the status stays one line.
    std::string whole;
    if (!InternalLog::isAtLineStart)
        whole = "\n";
    whole += escapedForLog(line);
    whole += '\n';
    InternalLog::write(whole.data(), whole.size());
    fflush(stderr);
}

void StatusReporter::cardSent(int copies)
{
    if (streamLost)
        return;
    ++sentCards;
    pendingCause.clear();
    writeLine("INFO: Printing card " + std::to_string(sentCards));
    for (int copy = 0; copy < (copies < 1 ? 1 : copies); ++copy)
        writeLine("PAGE: " + std::to_string(++printedPages) + " 1");
}

void StatusReporter::faceFailed(const char* fallbackCause)
{
    std::string cause = !pendingCause.empty() ? pendingCause : (fallbackCause ? fallbackCause : "unknown cause");
    pendingCause.clear();
    if (streamLost)
        return;
    if (currentPage > 0) {
        if (lastReportedPage == currentPage)
            return;
        lastReportedPage = currentPage;
        writeLine("ERROR: Page " + std::to_string(currentPage) + " was not printed: " + cause);
    } else {
        writeLine("ERROR: A card was not printed: " + cause);
    }
}

void StatusReporter::pageError(int page, const char* what)
{
    lastReportedPage = page;
    writeLine("ERROR: Page " + std::to_string(page) + " " + (what ? what : "was not printed"));
}

void StatusReporter::jobError(const char* text)
{
    writeLine(std::string("ERROR: ") + (text ? text : "the job failed"));
}

void StatusReporter::warning(const std::string& text)
{
    writeLine("WARNING: " + text);
}

void StatusReporter::jobSettings(const std::string& summary)
{
    writeLine("INFO: " + summary);
}

void StatusReporter::streamFailed(const char* reason)
{
    if (streamLost)
        return;
    streamLost = true;
    std::string line = "ERROR: The printer stream could not be written";
    if (reason != nullptr && *reason != '\0')
        line += std::string(" (") + reason + ")";
    writeLine(line + "; the job was stopped and the cards after the last one counted were not printed");
}

} // namespace tavgdi
