// TStreamSpooler: a sequential reader over a data source, owned by the stream that reads it. It
// keeps a byte position in the source's PCM and fills whole regions of a stream's buffer: where
// the data ends the rest of a region is silence, and a looping read wraps to the start within
// the same call, so that a looping stream never runs out.
//
// No lock of its own: the stream calls it with the sound lock held.
#pragma once

#include <cstdint>
#include <memory>

class TSoundDataSource;

class TStreamSpooler {
public:
    explicit TStreamSpooler(std::shared_ptr<TSoundDataSource> source);
    ~TStreamSpooler();
    TStreamSpooler(const TStreamSpooler&) = delete;
    TStreamSpooler& operator=(const TStreamSpooler&) = delete;

    // Fills size bytes of destination from the position on (zeroed first, so what the data does
    // not cover is silence); written receives the bytes the source gave. False when the data
    // ended and no loop carried it on. A looping read wraps to the start as often as the size
    // needs, but a wrap that yields nothing ends the read (a source without data).
    bool Read(uint32_t size, uint8_t* destination, uint32_t& written, bool loop);
    // Moves the position to the frame at that time (trunc(seconds × rate) frames of 2 × channels
    // bytes), within the data; 0 or less, or not a number, is the start.
    void Seek(float seconds);
    // The source's length in seconds; 0 without a source.
    float GetLength() const;
    // Seek(0).
    void Rewind();

    uint32_t GetPosition() const { return mPosition; }

private:
    std::shared_ptr<TSoundDataSource> mSource;
    uint32_t mPosition = 0;
};
