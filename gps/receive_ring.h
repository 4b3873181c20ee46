// The reader thread's 4 KB receive ring: bytes from the port in, NMEA sentences and SiRF
// binary frames out. Only the reader thread touches it.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

constexpr size_t kRingSize = 4096;
constexpr size_t kSentenceSize = 4096; // sentence buffer, with its terminating zero
constexpr size_t kFrameSize = 4096;    // SiRF frame buffer

class ReceiveRing {
public:
    ReceiveRing() : bytes_(new uint8_t[kRingSize]()) {}

    // When the receiver sends faster than it is read, the oldest unread bytes are dropped so
    // that what remains is still in stream order.
    void Push(const uint8_t* data, size_t n);
    size_t Fill() const { return fill_; }
    uint8_t At(size_t offset) const { return bytes_[(read_ + offset) % kRingSize]; }
    void Consume(size_t n);

    // Takes the next "$...LF" sentence into out (at most outSize - 1 characters and a zero,
    // the line end cut off) and drops the bytes before it; false when no complete sentence is
    // in the ring (nothing consumed).
    bool NextSentence(char* out, size_t outSize, const std::atomic<int32_t>* stop);

    enum class Frame { None, Taken, Damaged };
    // Takes the next SiRF frame (A0 A2, length, payload, checksum, B0 B3) into out and sets
    // *length to its size. None: no complete frame yet (nothing consumed). Damaged: a wrong
    // checksum or a length that never fits the ring; the bad bytes are consumed.
    Frame NextSirfFrame(uint8_t* out, size_t outSize, size_t* length,
                        const std::atomic<int32_t>* stop);

private:
    std::unique_ptr<uint8_t[]> bytes_;
    size_t read_ = 0;
    size_t write_ = 0;
    size_t fill_ = 0;
};
