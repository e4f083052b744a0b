#include "face/FaceSupervisor.h"

#include "Exceptions/NullException.h"
#include "InternalLog.h"
#include "pipeline/IOutputWriter.h"

namespace tavgdi {

FaceSupervisor::FaceSupervisor(IGDataOptions* opts, MediaDefinition* mediaDef)
    : orientation(GraphicalConstants::Landscape), options(opts), media(mediaDef)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +FaceSupervisor (%lx) \tDependancy: IGDataOptions(%lx), "
                       L"MediaDefinition(%lx)\r\n",
                       LOGPTR(this), LOGPTR(opts), LOGPTR(mediaDef));
    if (options == nullptr)
        throw NullException("[DriverSequencer::DriverSequencer] Null Object");
}

FaceSupervisor::~FaceSupervisor()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] start destruction : FaceSupervisor (%lx)\r\n",
                       LOGPTR(this));
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -FaceSupervisor (%lx)\r\n", LOGPTR(this));
}

void FaceSupervisor::UpdateOptionsManager(IGDataOptions* opts)
{
    if (opts != nullptr)
        options = opts;
}

bool FaceSupervisor::runGraphicalProcessing(byte* buffer, dword, dword, dword, int, StdLGRect*, IMonochromeReader*,
                                            IMonochromeReader*)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][FaceSupervisor::runGraphicalProcessing] (prt:%lx)\r\n", LOGPTR(this));
    return buffer != nullptr;
}

bool FaceSupervisor::sendFace(IOutputWriter* writer, void* obj, byte* headBuffer, int headBufferSize,
                              byte* tailBuffer, int tailBufferSize)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][FaceSupervisor::sendFace] (prt:%lx)\r\n", LOGPTR(this));
    if (writer == nullptr || headBuffer == nullptr || tailBuffer == nullptr)
        return false;
    if (writer->write(obj, headBuffer, static_cast<dword>(headBufferSize)) != static_cast<dword>(headBufferSize)) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][FaceSupervisor::sendFace] ERROR - Face head writing error\r\n");
        return false;
    }
    if (writer->write(obj, tailBuffer, static_cast<dword>(tailBufferSize)) != static_cast<dword>(tailBufferSize)) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][FaceSupervisor::sendFace] ERROR - Face tail writing error\r\n");
        return false;
    }
    return true;
}

} // namespace tavgdi
