// Temporary stand-ins until the output builders and the parsers are merged:
// no builder and no parser for any type. Delete this file at that merge.
#include "GlobalFactory.h"

namespace TavFactory {

tavgdi::IGDataOutputBuilder* FactoryOutputBuilder(SupervisorType /*type*/, tavgdi::IGDataOptions* /*options*/,
                                                  tavgdi::IGDataMemoryManager* /*memMgr*/,
                                                  tavgdi::IGDataManager* /*dataMgr*/)
{
    return nullptr;
}

tavgdi::IGDataParser* FactoryDataParser(SupervisorType /*type*/, tavgdi::IGDataMemoryManager* /*mgr*/,
                                        tavgdi::AlignmentOutputBuffer /*alignement*/)
{
    return nullptr;
}

} // namespace TavFactory
