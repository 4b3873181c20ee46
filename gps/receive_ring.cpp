#include "gps/receive_ring.h"

#include "gps/sirf_frame.h"

namespace {
bool Stopped(const std::atomic<int32_t>* stop) {
    return stop && stop->load() != 0;
}
} // namespace

void ReceiveRing::Push(const uint8_t* data, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        bytes_[write_] = data[i];
        write_ = (write_ + 1) % kRingSize;
        if (fill_ == kRingSize)
            read_ = write_; // the oldest byte was overwritten
        else
            ++fill_;
    }
}

void ReceiveRing::Consume(size_t n) {
    if (n > fill_)
        n = fill_;
    read_ = (read_ + n) % kRingSize;
    fill_ -= n;
}

bool ReceiveRing::NextSentence(char* out, size_t outSize, const std::atomic<int32_t>* stop) {
    size_t start = 0;
    while (start < fill_ && At(start) != '$') {
        if (Stopped(stop))
            return false;
        ++start;
    }
    if (start == fill_)
        return false;
    size_t lf = start + 1;
    while (lf < fill_ && At(lf) != '\n')
        ++lf;
    if (lf >= fill_)
        return false;
    // The line ends at CR LF or at a bare LF.
    size_t end = lf;
    if (end > start + 1 && At(end - 1) == '\r')
        --end;
    size_t n = end - start;
    if (outSize == 0)
        return false;
    if (n > outSize - 1)
        n = outSize - 1;
    for (size_t i = 0; i < n; ++i)
        out[i] = static_cast<char>(At(start + i));
    out[n] = 0;
    Consume(lf + 1);
    return true;
}

ReceiveRing::Frame ReceiveRing::NextSirfFrame(uint8_t* out, size_t outSize, size_t* length,
                                              const std::atomic<int32_t>* stop) {
    *length = 0;
    size_t skipped = 0;
    while (skipped + 1 < fill_ && !(At(skipped) == kSirfStart0 && At(skipped + 1) == kSirfStart1)) {
        if (Stopped(stop))
            return Frame::None;
        ++skipped;
    }
    if (skipped + 1 >= fill_)
        return Frame::None;
    if (skipped + 4 > fill_)
        return Frame::None;
    size_t payload = At(skipped + 2) * 256u + At(skipped + 3);
    size_t total = payload + kSirfFrameOverhead;
    if (total > kRingSize || total > outSize || payload == 0) {
        // Never completes: drop the start sequence and what came before it.
        Consume(skipped + 2);
        return Frame::Damaged;
    }
    if (skipped + total > fill_)
        return Frame::None;
    for (size_t i = 0; i < total; ++i)
        out[i] = At(skipped + i);
    Consume(skipped + total);
    if (SirfChecksum(out + 4, payload) != ReadU16BE(out + 4 + payload))
        return Frame::Damaged;
    *length = total;
    return Frame::Taken;
}
