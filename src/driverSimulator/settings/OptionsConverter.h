// Turns the job's external settings (text values by name) into the four
// option maps (document, card, front face, back face). On the way it names
// the custom black and overlay bitmap readers, adds the text regions to the
// rectangle lists and files passthrough and magnetic-stripe command fragments
// in the aggregator. Every setting has a default: a missing or malformed
// value is never an error, with one exception: magnetic track data the
// printer cannot write as given refuses the job (getJobRefusal). A choice
// that is none of its setting's keywords, and black for text without a text
// region, are told to CUPS in a WARNING line; settings the converter does
// not read are ignored.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "OptionsDefinition.h"
#include "Windows.h"

class IExternalInterSettingsReader;

namespace tavgdi {

class IGDataOptions;
class ExternalBufferAggregator;
class StdLGRectManager;
class MonoReaders;
class StatusReporter;

// Value of one hexadecimal digit: '1'-'9', 'A'-'F', 'a'-'f'; anything else,
// '0' included, is 0.
byte hexCharToByte(char c);
// Two hexadecimal digits, c1 the high one.
byte hexChar2ToByte(char c1, char c0);

// Why the `length` bytes of `value` cannot be written on magnetic track
// `track` (1 to 3) in the track format `format` (a MagEncodingTrackN value),
// in words for the user, or an empty text when they can.
std::string magTrackFault(int track, int format, const char* value, size_t length);

class OptionsConverter {
public:
    OptionsConverter(IGDataOptions* docOptions, IGDataOptions* cardOptions, IGDataOptions* frontFaceOptions,
                     IGDataOptions* backFaceOptions, ExternalBufferAggregator* aggregator,
                     StdLGRectManager* rectManager, MonoReaders* monochromeReaders, PDEVOBJ pDevObj,
                     IPrintOemDriverUni* helper, StatusReporter& status);
    virtual ~OptionsConverter();

    OptionsConverter(const OptionsConverter&) = delete;
    OptionsConverter& operator=(const OptionsConverter&) = delete;

    // The hosting driver's helper, kept for callers; the conversion itself
    // does not use it.
    IPrintOemDriverUni* getHelper() const { return helper; }

    // True when one of the four maps is missing.
    bool existsNullOptionManager();
    // Reads every setting in its fixed order and fills the maps. False only
    // when a map is missing (nothing is converted then).
    bool convert();

    // Why no card of the job may be printed (track data the printer would
    // mangle or leave out), in words for the user; empty when the job may go.
    const std::string& getJobRefusal() const { return jobRefusal; }

    // The converted job in one line for the CUPS log ("Card CR80 at 300x300
    // dpi, ribbon RC_YMCKO, one-sided, black: none, overlay: none, tracks:
    // none"), read from the maps after convert.
    std::string describeJob();

    // The setting's value as the reader holds it (not a copy), or null when
    // there is no reader or no such setting. strContener is not used.
    const char* loadOptionValue(const char* feature, IExternalInterSettingsReader* externalSettings, char* strContener);

    // General options. Each handler takes the value text (null when the
    // setting is missing); returnValue is not used.
    void updateSendBlankPanelOptions(const char* gpdOption, bool* returnValue);
    void updateQualityModeOptions(const char* gpdOption, bool* returnValue);
    void updateMonoReaderTypeOptions(const char* gpdOption, bool* returnValue);
    // The directory of the custom pictures, from the environment variable
    // CR80_PICTURE_DIR, else the PPD keyword *cr80PictureDir, else the
    // working directory; never from a job option.
    void updatePictureDirectory(IExternalInterSettingsReader* externalSettings);
    void updateBlackManagementOptions(const char* gpdOption, bool* returnValue, bool isRelatedToFrontSide);
    void updateCustomBlackBitmapOptions(const char* gpdOption, bool* returnValue, bool isRelatedToFrontSide);
    void updateOverlayManagementOptions(const char* gpdOption, bool* returnValue, bool isRelatedToFrontSide);
    void updateCustomOverlayBitmapOptions(const char* gpdOption, bool* returnValue, bool isRelatedToFrontSide);
    void updatePageRotationOptions(const char* gpdOption, bool* returnValue, bool isRelatedToFrontSide);
    void updateHalftoningOptions(const char* gpdOption, bool* returnValue, bool isRelatedToFrontSide);
    void updateSmoothingOptions(const char* gpdOption, bool isStandardOption, bool* returnValue);
    void updateInputTrayOptions(const char* gpdOption, bool* returnValue);
    void updateOutputTrayOptions(const char* gpdOption, bool* returnValue);
    void updateRejectBoxOptions(const char* gpdOption, bool* returnValue);
    void updateFeederCfgOptions(const char* gpdOption, bool* returnValue);
    void updateFeederPosOptions(const char* gpdOption, bool* returnValue);
    void updateCardPreloadingOptions(const char* gpdOption, bool* returnValue);
    void updateValueOptions(const char* gpdOption, TavGdiOptions::Keys optionKey, bool* returnValue,
                            bool isRelatedToFrontSide);
    void updateThresholdOptions(const char* gpdOption, bool* returnValue, TavGdiOptions::Keys optionKey,
                                bool isRelatedToFrontSide);
    void updatePipeDetectionOptions(const char* gpdOption, bool* returnValue);
    void updatePipeDefinitionOptions(const char* gpdOption, bool* returnValue);
    void updatePanelManagementOptions(const char* gpdOption, TavGdiOptions::Keys optionKey, bool* returnValue);
    void updatePanelShiftOptions(const char* gpdOption, TavGdiOptions::Keys optionKey, int defaultValue,
                                 bool* returnValue);
    void updateTextRectangleErrOptions(const char* gpdOption, bool* returnValue);
    void updateSendSpoolSessionOptions(const char* gpdOption, bool* returnValue);
    void updateSendPrintStatusDisableModeOptions(const char* gpdOption, bool* returnValue);
    void updateMonochromeSpeedValueOptions(const char* gpdOption, TavGdiOptions::Keys optionKey, bool* returnValue);

    // Resolution, card size, ribbon, two-sided mode, strict page setup.
    void updateDpiOptions(const char* gpdOption, bool* returnValue);
    void updateFormNameOptions(const char* gpdOption, bool* returnValue);
    void updateFormCustomValue(const char* gpdOption, bool* returnValue, bool isRelatedToWidth);
    void updateRibbonTypeOptions(const char* gpdOption, bool* returnValue);
    // gpdOption: Duplex, gpdOption1: GDuplexType, gpdOption2: GDuplexMode.
    void updateDuplexModeOptions(const char* gpdOption, const char* gpdOption1, const char* gpdOption2,
                                 bool* returnValue);
    void updateInternalStrictPageSetup(const char* gpdOption, bool* returnValue);

    // Text regions, magnetic stripe, passthrough, black substitution and
    // print-quality adjustment.
    void updateTextRegionOptions(const char* gpdOption, bool* returnValue, bool isRelatedToFrontSide);
    void updateMagCoercivityOptions(const char* gpdOption, bool* returnValue);
    void updateMagEncodingOptions(const char* gpdOption, int track, bool* returnValue);
    void updateMagData(IExternalInterSettingsReader* externalSettings, bool* returnValue);
    void updatePassthrough(const char* gpdOption, bool* returnValue);
    void updateBlackSubsStrategyOptions(const char* gpdOption, bool* returnValue);
    void updateSendIqlaOptions(const char* gpdOption, bool* returnValue);
    void updateIqlaxValueOptions(const char* gpdOption, TavGdiOptions::Keys optionKey, bool* returnValue);

    // There is no registry here: no effect, false.
    bool loadDelimStringFromRegistry(void* hKey, wchar_t* name, wchar_t* value);

    // True when value begins with keyword (case-sensitive); a null value
    // matches nothing.
    static bool matches(const char* value, const char* keyword);
    // The level of a "VAL" value: VALd gives d, VALdd gives dd, anything
    // else (a missing value included) 10.
    static int valLevel(const char* value);
    // The leading decimal number of value as atoi reads it (blanks, sign,
    // digits), saturated to the int range; 0 without digits.
    static int toInt(const char* value);
    // Whether value is one of the keyword setting's choices by the rules the
    // conversion warns with; true for a setting without keyword choices.
    static bool isKnownChoice(const char* setting, const char* value);
    // Every choice of a keyword setting, for lists shown to people ("None"
    // first where it leaves the setting off); empty for a setting that takes
    // numbers or text.
    static std::vector<std::string> choicesOf(const char* setting);

private:
    // Sets key to value in both face maps.
    void setBothFaces(TavGdiOptions::Keys key, int value);
    // Makes a face a colour face (isColor) or a monochrome face.
    void setFaceKind(IGDataOptions* face, bool isColor);
    IGDataOptions* faceOptions(bool isRelatedToFrontSide);
    // Emits one text region into the face's rectangle list.
    void addTextRegion(const dword coord[4], byte blackLevel, bool isRelatedToFrontSide, bool isClosedBySeparator);
    // Logs why the job cannot be printed; the first cause is kept.
    void refuseJob(const std::string& cause);
    // Warns when a present value of a keyword setting matches none of its
    // keywords, naming what is used instead.
    void checkChoice(const char* setting, const char* value);
    // Warns when a face extracts black for text only but has no text region.
    void checkTextInBlack(bool isRelatedToFrontSide);

    IGDataOptions* docOptions;
    IGDataOptions* cardOptions;
    IGDataOptions* frontFaceOptions;
    IGDataOptions* backFaceOptions;
    PDEVOBJ pDevObj;
    IPrintOemDriverUni* helper;
    ExternalBufferAggregator* aggregator;
    StdLGRectManager* rectManager;
    MonoReaders* monochromeReaders;
    StatusReporter& status;
    std::string jobRefusal;
    // What the job was converted with, for describeJob and the warnings.
    int textRegionCount[2] = {0, 0}; // front, back
    bool hasTrackData[3] = {false, false, false};
    std::string ribbonName;
};

} // namespace tavgdi
