// The system: the server options of `cr80-printer-app server -o NAME=VALUE`,
// its listeners, the driver, the PDF filter, the state file, and the printer
// that -o printer-name= and -o device-uri= create at start.
#include "CardApp.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>

namespace cr80app {

namespace {

std::string pictureDir;
std::string stateFile;

pappl_loglevel_t logLevelNamed(const char* name)
{
    static const struct {
        const char* name;
        pappl_loglevel_t level;
    } Levels[] = {{"fatal", PAPPL_LOGLEVEL_FATAL},
                  {"error", PAPPL_LOGLEVEL_ERROR},
                  {"warn", PAPPL_LOGLEVEL_WARN},
                  {"info", PAPPL_LOGLEVEL_INFO},
                  {"debug", PAPPL_LOGLEVEL_DEBUG}};
    for (const auto& level : Levels)
        if (name != nullptr && std::strcmp(name, level.name) == 0)
            return level.level;
    return PAPPL_LOGLEVEL_WARN;
}

bool saveState(pappl_system_t* system, void* /*data*/)
{
    return papplSystemSaveState(system, stateFile.c_str());
}

struct PrinterLookup {
    const char* name;
    bool isFound;
};

void matchPrinterName(pappl_printer_t* printer, void* data)
{
    PrinterLookup* lookup = static_cast<PrinterLookup*>(data);
    const char* name = papplPrinterGetName(printer);
    if (name != nullptr && std::strcmp(name, lookup->name) == 0)
        lookup->isFound = true;
}

// -o printer-name=NAME -o device-uri=URI: the printer to print with at
// once, created with the card driver unless the state already holds it.
void addStartPrinter(pappl_system_t* system, const char* name, const char* uri)
{
    if (name == nullptr || *name == '\0')
        return;
    PrinterLookup lookup = {name, false};
    papplSystemIteratePrinters(system, matchPrinterName, &lookup);
    if (lookup.isFound)
        return;
    if (uri == nullptr || *uri == '\0') {
        papplLog(system, PAPPL_LOGLEVEL_ERROR, "Printer \"%s\" needs -o device-uri=URI to be created.", name);
        return;
    }
    if (papplPrinterCreate(system, 0, name, DriverName, "MFG:CR80;MDL:Card Printer;CMD:CR80;", uri) == nullptr)
        papplLog(system, PAPPL_LOGLEVEL_ERROR, "Unable to create printer \"%s\" on \"%s\".", name, uri);
}

// Set when a printer's settings changed (Set-Printer-Attributes, the web
// pages). The event comes while PAPPL holds the printer and the system
// locked: nothing of PAPPL may be called there.
std::atomic<bool> isConfigChanged{false};

void configChanged(pappl_system_t*, pappl_printer_t*, pappl_job_t*, pappl_event_t event, void*)
{
    if ((event & PAPPL_EVENT_PRINTER_CONFIG_CHANGED) != 0)
        isConfigChanged = true;
}

void followRibbonOf(pappl_printer_t* printer, void*)
{
    followRibbon(printer);
}

// Every second, from the main loop, where nothing is locked: the colour
// modes of changed printers follow the ribbon their settings name.
bool followChangedRibbons(pappl_system_t* system, void*)
{
    if (isConfigChanged.exchange(false))
        papplSystemIteratePrinters(system, followRibbonOf, nullptr);
    return true;
}

} // namespace

const std::string& pictureDirectory()
{
    return pictureDir;
}

void setPictureDirectory(const std::string& directory)
{
    pictureDir = directory;
}

pappl_system_t* createSystem(int num_options, cups_option_t* options, void* data)
{
    auto option = [&](const char* name) { return cupsGetOption(name, num_options, options); };
    const char* port = option("server-port");
    const char* listen = option("listen-hostname");
    const char* host = listen != nullptr && *listen != '\0' ? listen : "localhost";
    const bool isLoopbackOnly =
        std::strcmp(host, "localhost") == 0 || std::strcmp(host, "127.0.0.1") == 0 || std::strcmp(host, "::1") == 0;

    // Listening beyond the loopback: the web pages that change settings ask
    // for a user of the admin group (-o admin-group=, PAPPL's default
    // otherwise), checked by PAM (service -o auth-service=, "login" by
    // default), over TLS. On the loopback only, TLS is left out.
    pappl_soptions_t soptions = PAPPL_SOPTIONS_MULTI_QUEUE | PAPPL_SOPTIONS_WEB_INTERFACE;
    soptions |= isLoopbackOnly ? PAPPL_SOPTIONS_NO_TLS : PAPPL_SOPTIONS_WEB_REMOTE;
    const char* authService = isLoopbackOnly ? nullptr : option("auth-service") ? option("auth-service") : "login";

    pappl_system_t* system = papplSystemCreate(soptions, "CR80 card printer", port != nullptr ? std::atoi(port) : 0,
                                               "_print,_universal", option("spool-directory"), option("log-file"),
                                               logLevelNamed(option("log-level")), authService, false);
    if (system == nullptr)
        return nullptr;
    routePipelineOutput();
    // A JPEG or PNG is decoded whole: at most the largest face bitmap.
    papplSystemSetMaxImageSize(system, 256u << 20, 16384, 16384);
    if (const char* group = option("admin-group"))
        papplSystemSetAdminGroup(system, group);
    if (!papplSystemAddListeners(system, host)) {
        papplLog(system, PAPPL_LOGLEVEL_FATAL, "Unable to listen on \"%s\".", host);
        papplSystemDelete(system);
        return nullptr;
    }

    static pappl_pr_driver_t drivers[] = {{DriverName, "CR80 card printer", nullptr, nullptr}};
    papplSystemSetPrinterDrivers(system, 1, drivers, nullptr, printerCreated, fillDriver, data);
    // Every page's footer; PAPPL's own pages would fail without one.
    papplSystemSetFooterHTML(system, "CR80 card printer");
    addCardSettingsStrings(system);
    papplSystemSetEventCallback(system, configChanged, nullptr);
    papplSystemAddTimerCallback(system, 0, 1, followChangedRibbons, nullptr);
    papplSystemAddMIMEFilter(system, "application/pdf", "image/pwg-raster", printPdf, nullptr);
    // Found before PAPPL's own JPEG filter, which converts to PWG raster.
    papplSystemAddMIMEFilter(system, "image/jpeg", RawFormat, printJpeg, nullptr);

    if (const char* pictures = option("picture-directory"))
        setPictureDirectory(pictures);

    if (const char* state = option("state-file")) {
        stateFile = state;
        struct stat info;
        if (stat(state, &info) == 0)
            papplSystemLoadState(system, state);
        papplSystemSetSaveCallback(system, saveState, nullptr);
    }
    addStartPrinter(system, option("printer-name"), option("device-uri"));
    return system;
}

} // namespace cr80app
