// Fixed-capacity card buffer handed whole to the output callback.
#pragma once

#include "Windows.h"
#include "pipeline/IOutputWriter.h"

namespace tavgdi {

// Writes that do not fit are refused, never split. The buffer survives a
// flush, so flushing N times emits the card N times.
class BufferedOutputWriter : public IOutputWriter {
public:
    BufferedOutputWriter();
    explicit BufferedOutputWriter(dword size);
    ~BufferedOutputWriter() override;

    BufferedOutputWriter(const BufferedOutputWriter&) = delete;
    BufferedOutputWriter& operator=(const BufferedOutputWriter&) = delete;

    bool flush(void* obj) override;
    dword write(void* obj, void* data, dword size) override;
    bool setBufferSize(dword size) override;
    dword getBufferSize() override;
    bool setWriter(PFN_WriteBuffer writer) override;
    PFN_WriteBuffer getWriter() override;
    void resetBuffer() override;

private:
    byte* managedBuffer;
    dword managedBufferSize; // capacity
    dword filledBufferSize;  // bytes written so far, never above the capacity
    PFN_WriteBuffer writer;
    // Bytes from the start still to be zeroed after a reset: the zeroing is
    // done when the bytes are next handed out or written after, not when a
    // card's writer is reset just before it goes away.
    dword pendingZeroSize;

    void zeroPending();
};

} // namespace tavgdi
