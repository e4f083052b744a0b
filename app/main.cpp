#include "CardApp.h"

#ifndef CR80_VERSION
#define CR80_VERSION "0.0.0"
#endif

int main(int argc, char* argv[])
{
    static pappl_pr_driver_t drivers[] = {
        {cr80app::DriverName, "CR80 card printer", nullptr, nullptr},
    };
    return papplMainloop(argc, argv, CR80_VERSION, nullptr, 1, drivers, nullptr, cr80app::fillDriver, nullptr, nullptr,
                         cr80app::createSystem, nullptr, nullptr);
}
