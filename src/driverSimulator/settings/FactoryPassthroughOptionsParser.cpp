#include "GlobalFactory.h"
#include "InternalLog.h"
#include "Owned.h"
#include "settings/PassthroughOptionsParser.h"

namespace TavFactory {

std::unique_ptr<tavgdi::IPassthroughOptionsParser> FactoryIPassthroughOptionsParser()
{
    return tavgdi::makeLogged<tavgdi::PassthroughOptionsParser>(
        L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - NEW PassthroughOptionsParser \tPTR: %lx\r\n");
}

} // namespace TavFactory
