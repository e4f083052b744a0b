// Document and card supervisors in process: framing order, copies, card
// assembly in one- and two-sided mode, and when nothing is written.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "GlobalFactory.h"
#include "MediaDefinition.h"
#include "OptionsDefinition.h"
#include "input/MonoReaders.h"
#include "pipeline/CardSupervisor.h"
#include "pipeline/DocumentSupervisor.h"
#include "pipeline/ExternalBufferAggregator.h"
#include "pipeline/StatusReporter.h"
#include "pipeline/StdLGRectManager.h"
#include "settings/GDataOptions.h"

using namespace tavgdi;
using namespace TavGdiOptions;

namespace {

std::string sink;

dword capture(void*, void* buffer, dword size)
{
    sink.append(static_cast<const char*>(buffer), size);
    return size;
}

std::string cmd(const std::string& text)
{
    return "\x1b" + text + "\r";
}

class Document : public ::testing::Test {
protected:
    void SetUp() override
    {
        sink.clear();
        setenv("SOURCE_DATE_EPOCH", "1767225600", 1);
        for (IGDataOptions* face : {&front, &back}) {
            face->setOption(DpiX, 300);
            face->setOption(DpiY, 300);
            face->setOption(PaperSizeW, 1016);
            face->setOption(PaperSizeH, 648);
            face->setOption(OutputDeviceType, DeviceColor);
            face->setOption(ColorConstrast, 10);
            face->setOption(ColorLuminosity, 11);
            face->setOption(MonochromeContrast, 12);
            face->setOption(OverlayContrast, 13);
        }
        doc.setOption(MonochromeSpeed, 10);
        doc.setOption(CardPreloading, 'D');
        rects.create(nullptr);
        readers.set(nullptr, "overlay", MonoReaders::OverlayMonochromeReaderFront);
        readers.set(nullptr, "backOverlay", MonoReaders::OverlayMonochromeReaderBack);
        readers.set(nullptr, "black", MonoReaders::BlackMonochromeReaderFront);
        readers.set(nullptr, "backBlack", MonoReaders::BlackMonochromeReaderBack);
    }
    DocumentSupervisor* make()
    {
        return new DocumentSupervisor(&doc, &card, &front, &back, &readers, &aggregator, &rects, &media, status);
    }
    // Feeds n faces, the last with flush.
    void feed(DocumentSupervisor& ds, int n)
    {
        for (int i = 1; i <= n; ++i)
            ASSERT_TRUE(ds.newFace(capture, nullptr, page.data(), page.size(), 1016, 648, 24, i == n)) << i;
    }

    GDataOptions doc, card, front, back;
    ExternalBufferAggregator aggregator;
    StdLGRectManager rects;
    MonoReaders readers{TavFactory::FileMonoReader};
    MediaDefinition media{300, 300, 1016, 648};
    StatusReporter status;
    // A white CR80 page: every colour panel is blank and left out, so a face
    // is its framing and the ink-usage command.
    std::vector<byte> page = std::vector<byte>(1016 * 648 * 3, 255);
};

const std::string DocHeadOneSided =
    cmd("Psync;1;0") + "<HEADER>" + cmd("Psmgr;1") + cmd("Ppws;1767225600") + cmd("Pr;0;t") + cmd("Pwres;300;300;0") +
    cmd("Psk;10") + cmd("Piqla;a;d") + cmd("Peoic;k;D") + cmd("Psync;2") + "</HEADER>" + cmd("Psync;12;1") +
    "<OPTION Dpi=300x300>" + cmd("Psync;13;0") + "</OPTION>" + cmd("Psync;3;1") + "<DOC Duplex=0>" + cmd("Psync;3;0");
const std::string CardHead = cmd("Psync;5;1") + "<CARD>" + cmd("Psync;5;0") + cmd("Ss") + cmd("Mr;s");
const std::string CardTail = cmd("Se") + cmd("Psync;6;1") + "</CARD>" + cmd("Psync;6;0");
const std::string FrontHead = cmd("Psync;9;1") + "<FACE>" + cmd("Psync;9;0") + cmd("Sr") + cmd("Pc;a;=;10") +
                              cmd("Pl;a;=;11") + cmd("Pc;k;=;12") + cmd("Pc;o;=;13");
const std::string BackHead = cmd("Psync;9;1") + "<FACE>" + cmd("Psync;9;0") + cmd("Sv") + cmd("Pc;a;=;10") +
                             cmd("Pl;a;=;11") + cmd("Pc;k;=;12") + cmd("Pc;o;=;13");
const std::string Pida = cmd("Pida;100;0;0;0");
const std::string FaceTail = cmd("Psync;10;1") + "</FACE>" + cmd("Psync;10;0");
const std::string DocTail =
    cmd("Psync;4;1") + "</DOC>" + cmd("Psync;4;0") + cmd("Psync;11;1") + "<END>" + cmd("Psync;11;0");

} // namespace

TEST_F(Document, CopiesRepeatTheCardButNotTheHead)
{
    std::unique_ptr<DocumentSupervisor> ds(make());
    for (int n : {0, -3, 3}) {
        sink.clear();
        ds->setCopyCount(n);
        ds->resetCard();
        ASSERT_TRUE(ds->newFace(capture, nullptr, page.data(), page.size(), 1016, 648, 24, false));
        const std::string oneCard = CardHead + FrontHead + Pida + FaceTail + CardTail;
        std::string cards;
        for (int i = 0; i < (n < 1 ? 1 : n); ++i)
            cards += oneCard;
        const std::string head = n == 0 ? DocHeadOneSided : "";
        EXPECT_EQ(sink, head + cards) << n;
    }
}

TEST_F(Document, DocumentHeadFollowsPriorities)
{
    doc.setOption(SendSpoolSession, 1);
    doc.setOption(SendPrintStatusDisableMode, 1);
    doc.setOption(SendIqla, 1);
    const Keys iqla[] = {Iqlaby, Iqlacy, Iqlabm, Iqlacm, Iqlabc, Iqlacc};
    for (int i = 0; i < 6; ++i)
        doc.setOption(iqla[i], i + 1);
    doc.setOption(MagEncodingTrack1, 3);
    doc.setOption(MagEncodingTrack3, 5);
    doc.setOption(MagCoercivity, 'h');
    doc.setOption(InsertionMode, 'F');
    doc.setOption(EjectionMode, 'B');
    doc.setOption(RejectionMode, 'R');
    doc.setOption(FeederCfgMode, 'A');
    doc.setOption(FeederPosMode, 'P');
    doc.setOption(RibbonType, 4);
    std::unique_ptr<DocumentSupervisor> ds(make());
    feed(*ds, 1);
    ASSERT_TRUE(ds->endDoc(capture, nullptr));
    const std::string head = cmd("Psync;1;0") + "<HEADER>" + cmd("Psmgr;1") + cmd("Ppws;1767225600") + cmd("Pps;0;n") +
                             cmd("Pcla;1") + cmd("Psid;2") + cmd("Pr;4;t") + cmd("Pwres;300;300;4") + cmd("Psk;10") +
                             cmd("Piqla;a;e") + cmd("Piqla;1;2;3;4;5;6") + cmd("Pmc;h") + cmd("Pmt;1;3") +
                             cmd("Pmt;3;5") + cmd("Peoic;k;D") + cmd("Pkc;p;P") + cmd("Pkc;m;A") + cmd("Pcim;F") +
                             cmd("Pcem;B") + cmd("Pcrm;R") + cmd("Psync;2") + "</HEADER>";
    EXPECT_EQ(sink.substr(0, head.size()), head);
    const std::string tail = cmd("Psync;4;1") + "</DOC>" + cmd("Psync;4;0") + cmd("Pcla;0") + cmd("Psid;0") +
                             cmd("Psync;11;1") + "<END>" + cmd("Psync;11;0");
    EXPECT_EQ(sink.substr(sink.size() - tail.size()), tail);
}

TEST_F(Document, MissingFaceTailFailsTheCardBeforeAnythingIsWritten)
{
    std::unique_ptr<DocumentSupervisor> ds(make());
    aggregator.clear(PrintingTags::FrontFaceTail);
    EXPECT_FALSE(ds->newFace(capture, nullptr, page.data(), page.size(), 1016, 648, 24, true));
    EXPECT_EQ(sink, "");
}

TEST_F(Document, SourceDateEpochMustBeANumber)
{
    setenv("SOURCE_DATE_EPOCH", "12", 1);
    EXPECT_EQ(DocumentSupervisor::headerTime(), 12ul);
    for (const char* bad : {"", "soon", "-5", "12x"}) {
        setenv("SOURCE_DATE_EPOCH", bad, 1);
        EXPECT_GT(DocumentSupervisor::headerTime(), 1700000000ul) << bad;
    }
    unsetenv("SOURCE_DATE_EPOCH");
    EXPECT_GT(DocumentSupervisor::headerTime(), 1700000000ul);
}
