#include "GlobalFactory.h"
#include "InternalLog.h"
#include "settings/PassthroughOptionsParser.h"

namespace TavFactory {

tavgdi::IPassthroughOptionsParser* FactoryIPassthroughOptionsParser()
{
    tavgdi::PassthroughOptionsParser* parser = new tavgdi::PassthroughOptionsParser();
    tavgdi::InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - NEW PassthroughOptionsParser \tPTR: %lx\r\n",
                               LOGPTR(parser));
    return parser;
}

} // namespace TavFactory
