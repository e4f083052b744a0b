// A transformation of one image's whole buffer, in place.
#pragma once

namespace tavgdi {

class IGDataManager;
class IGDataMemoryManager;
class MediaDefinition;

class IGDataProcessor {
public:
    virtual bool process(IGDataManager* dataMgr, IGDataMemoryManager* memMgr, MediaDefinition* media) = 0;
    virtual ~IGDataProcessor() {}
};

} // namespace tavgdi
