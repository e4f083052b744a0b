// Prints a file on an IPP printer several times, one job after the other,
// and measures each job from the submission until the printer reports it
// completed (for the printer application: the card's stream is written and
// closed). Prints the median and then every run, in milliseconds.
// Usage: cr80ippsubmit RUNS PRINTER-URI FILE FORMAT [keyword-attribute=value ...]
// A job that ends other than completed, or takes more than a minute, fails
// the run (exit status 1).
#include <cups/cups.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <time.h>
#include <vector>

namespace {

double now()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Print-Job; the job's id, or 0 after reporting the failure.
int submit(http_t* http, const char* uri, const char* resource, const char* file, const char* format,
           const std::vector<std::pair<std::string, std::string>>& attributes)
{
    ipp_t* request = ippNewRequest(IPP_OP_PRINT_JOB);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, "bench");
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr, format);
    for (const auto& [name, value] : attributes) {
        int x = 0, y = 0;
        if (name == "printer-resolution" && sscanf(value.c_str(), "%dx%d", &x, &y) == 2)
            ippAddResolution(request, IPP_TAG_JOB, name.c_str(), IPP_RES_PER_INCH, x, y);
        else
            ippAddString(request, IPP_TAG_JOB, IPP_TAG_KEYWORD, name.c_str(), nullptr, value.c_str());
    }
    ipp_t* response = cupsDoFileRequest(http, request, resource, file);
    int id = 0;
    if (cupsLastError() > IPP_STATUS_OK_CONFLICTING)
        fprintf(stderr, "Print-Job failed: %s\n", cupsLastErrorString());
    else if (ipp_attribute_t* attr = ippFindAttribute(response, "job-id", IPP_TAG_INTEGER))
        id = ippGetInteger(attr, 0);
    ippDelete(response);
    return id;
}

// The job's state (IPP_JSTATE_*), or 0 when it cannot be read.
int jobState(http_t* http, const char* uri, const char* resource, int id)
{
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", id);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "job-state");
    ipp_t* response = cupsDoRequest(http, request, resource);
    int state = 0;
    if (ipp_attribute_t* attr = ippFindAttribute(response, "job-state", IPP_TAG_ENUM))
        state = ippGetInteger(attr, 0);
    ippDelete(response);
    return state;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 5) {
        fprintf(stderr, "usage: cr80ippsubmit RUNS PRINTER-URI FILE FORMAT [keyword-attribute=value ...]\n");
        return 2;
    }
    const int runs = atoi(argv[1]);
    const char* uri = argv[2];
    const char* file = argv[3];
    const char* format = argv[4];
    std::vector<std::pair<std::string, std::string>> attributes;
    for (int i = 5; i < argc; ++i) {
        const char* eq = strchr(argv[i], '=');
        if (eq == nullptr) {
            fprintf(stderr, "cr80ippsubmit: %s is not name=value\n", argv[i]);
            return 2;
        }
        attributes.emplace_back(std::string(argv[i], static_cast<size_t>(eq - argv[i])), eq + 1);
    }

    char scheme[32], userpass[256], host[256], resource[1024];
    int port = 0;
    if (httpSeparateURI(HTTP_URI_CODING_ALL, uri, scheme, sizeof(scheme), userpass, sizeof(userpass), host,
                        sizeof(host), &port, resource, sizeof(resource)) < HTTP_URI_STATUS_OK) {
        fprintf(stderr, "cr80ippsubmit: bad printer URI %s\n", uri);
        return 2;
    }
    http_t* http = httpConnect2(host, port, nullptr, AF_UNSPEC, HTTP_ENCRYPTION_IF_REQUESTED, 1, 30000, nullptr);
    if (http == nullptr) {
        fprintf(stderr, "cr80ippsubmit: cannot connect to %s:%d\n", host, port);
        return 1;
    }

    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const double start = now();
        const int id = submit(http, uri, resource, file, format, attributes);
        if (id == 0)
            break;
        int state = 0;
        while ((state = jobState(http, uri, resource, id)) > 0 && state < IPP_JSTATE_CANCELED && now() - start < 60000)
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        if (state != IPP_JSTATE_COMPLETED) {
            fprintf(stderr, "cr80ippsubmit: job %d ended in state %d\n", id, state);
            break;
        }
        times.push_back(now() - start);
    }
    httpClose(http);
    if (times.size() != static_cast<size_t>(runs) || runs < 1)
        return 1;
    printf("%.1f", median(times));
    for (double t : times)
        printf(" %.1f", t);
    printf("\n");
    return 0;
}
