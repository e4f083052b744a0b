// One thread per job. PAPPL 1.3.1 can start jobs of one printer on two
// threads at once: its check for the next job to print tests that nothing
// is being processed before it takes the printer's lock, and a job only
// counts as processing once its thread has begun, so two checks close
// together (a job submitted or released while the previous one ends) each
// start a job -- two different ones, or the same pending job twice. Jobs of
// one printer take turns through the pipeline (CardFaces.cpp), and each
// writes to a file: device of its own there.
//
// For the same job started twice, the first thread to reach the driver
// claims it; the other leaves at once, before it has touched the device or
// the pipeline, and without returning to PAPPL, which would end the job a
// second time.
#include "CardApp.h"

#include <pthread.h>

#include <algorithm>
#include <deque>
#include <mutex>
#include <utility>

namespace cr80app {

namespace {

std::mutex claimsMutex;
// The jobs claimed last, newest at the back: a second thread comes while the
// first prints, so a short memory is enough.
std::deque<std::pair<int, pthread_t>> claims;
constexpr size_t KeptClaims = 256;

} // namespace

void claimJobOrLeave(pappl_job_t* job)
{
    const int id = papplJobGetID(job);
    {
        std::lock_guard<std::mutex> lock(claimsMutex);
        const auto claim = std::find_if(claims.begin(), claims.end(),
                                        [id](const std::pair<int, pthread_t>& c) { return c.first == id; });
        if (claim == claims.end()) {
            claims.emplace_back(id, pthread_self());
            if (claims.size() > KeptClaims)
                claims.pop_front();
            return;
        }
        if (pthread_equal(claim->second, pthread_self()))
            return;
    }
    papplLogJob(job, PAPPL_LOGLEVEL_WARN, "Job %d was started twice; the second start is dropped.", id);
    pthread_exit(nullptr);
}

} // namespace cr80app
