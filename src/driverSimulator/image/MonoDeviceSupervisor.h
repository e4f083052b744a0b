// The data supervisor: one image (panel or bitmap) with its media, bytes,
// layout, options, processor factory and shared pixel, all chosen by the
// supervisor type.
#pragma once

#include <memory>

#include "GlobalFactory.h"
#include "image/IGDataSupervisor.h"

namespace tavgdi {

class IGDataManager;
class IGDataMemoryManager;
class IFactoryGDProcessor;
class IGDataParser;
class IPixel;

class MonoDeviceSupervisor : public IGDataSupervisor {
public:
    // Each collaborator may be given (borrowed) or null (made here and
    // owned). A media made here is read from the options' DpiX, DpiY,
    // PaperSizeW and PaperSizeH, each unset value standing for the CR80 card
    // at 300 dpi. Throws NullException when a collaborator cannot be had
    // (for instance no data manager for UndefinedSupervisor).
    MonoDeviceSupervisor(TavFactory::SupervisorType type, MediaDefinition* media, IGDataMemoryManager* memMgr,
                         IGDataManager* dataMgr, IGDataOptions* optMgr);
    MonoDeviceSupervisor(const MonoDeviceSupervisor&) = delete;
    MonoDeviceSupervisor& operator=(const MonoDeviceSupervisor&) = delete;
    ~MonoDeviceSupervisor() override;

    IGDataOptions* getIGDataOptions() override { return options; }
    IGDataOutputBuilder* getIGDataOutputBuilder() override;
    void setOrientation(GraphicalConstants::CardOrientation orientation, MediaDefinition* media) override;
    GraphicalConstants::CardOrientation getOrientation() override;
    void setPixel(int w, int h, IPixel* p) override;
    IPixel* getPixel(int w, int h) override;
    void getPixel(int w, int h, IPixel* p) override;
    dword getWidth() override;
    dword getHeight() override;
    MediaDefinition* getMedia() override { return media; }
    // input is an open FILE* when isFileStream, else a file name.
    bool load(void* input, bool isFileStream) override;
    bool save(char* filename) override;
    // An independent supervisor of the same type with copies of the media,
    // bytes, options and orientation; null when a copy cannot be made.
    IGDataSupervisor* clone() override;
    bool setRaster(byte* buffer, dword size, dword width, dword height, bool isColorDevice) override;
    void setOption(TavGdiOptions::Keys key, TavGdiOptions::Values value) override;
    bool newRaster(MediaDefinition* media, bool fullBlack) override;
    bool preProcessing() override;

    // When set, setRaster of a colour picture that no input processor
    // changes keeps reading the caller's buffer instead of a copy of it.
    // For a caller that keeps the buffer, unchanged, as long as the
    // supervisor lives, and never writes to the picture.
    void setBorrowsRaster(bool value) { isRasterBorrowed = value; }

    TavFactory::SupervisorType getClassType() const { return classType; }
    IGDataMemoryManager* getMemoryManager() const { return memMgr; }
    IGDataManager* getDataManager() const { return dataMgr; }

private:
    // Deletes what this supervisor owns (also on a failed construction).
    void release(bool logged);
    // After a parse: orientation from the parser, then the input chain.
    bool afterParse(IGDataParser* parser);
    // Builds and runs the input chain; true when there is none.
    bool runInputChain();

    // The collaborators in use, each borrowed or one of the own ones below.
    IGDataManager* dataMgr;
    IGDataOptions* options;
    IGDataMemoryManager* memMgr;
    MediaDefinition* media;
    std::unique_ptr<IGDataManager> ownDataMgr;
    std::unique_ptr<IGDataOptions> ownOptions;
    std::unique_ptr<IGDataMemoryManager> ownMemMgr;
    std::unique_ptr<MediaDefinition> ownMedia;
    std::unique_ptr<IFactoryGDProcessor> factoryProcessor;
    TavFactory::SupervisorType classType;
    std::unique_ptr<IPixel> commonPixel;
    bool isRasterBorrowed;
};

} // namespace tavgdi
