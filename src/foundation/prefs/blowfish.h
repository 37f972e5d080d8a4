// TBlowfish: the published Blowfish block cipher (64-bit blocks, keys of 1 to 72 bytes, 16
// rounds, tables from the digits of pi) and a buffer layer over it: ECB with 1 to 8 pad bytes,
// each holding the pad length. Blocks are two big-endian 32-bit words.
//
// The buffer layer is what the program keeps on disk (preferences, local hiscores), so its format
// is fixed: EncryptBuffer of n bytes gives n rounded down to a multiple of 8, plus 8.
//
// An object is keyed once and then used by one thread at a time.
#pragma once

#include <cstdint>
#include <vector>

class TBlowfish {
public:
    TBlowfish();

    // The standard key schedule; a key longer than 72 bytes uses its first 72, an empty key
    // leaves the initial tables.
    void SetKey(const uint8_t* key, int length);

    void EncryptBlock(uint32_t& left, uint32_t& right) const;
    void DecryptBlock(uint32_t& left, uint32_t& right) const;

    // Pads (8 - n % 8 bytes of that value) and enciphers block by block.
    std::vector<uint8_t> EncryptBuffer(const uint8_t* data, int length) const;
    // Deciphers (a partial last block is zero-filled first) and drops as many bytes as the last
    // one says, read as a signed byte; a count that does not fit gives an empty result, and so
    // does an empty input. The pad bytes are not otherwise checked.
    std::vector<uint8_t> DecryptBuffer(const uint8_t* data, int length) const;

private:
    uint32_t F(uint32_t x) const;

    uint32_t mP[18];
    uint32_t mS[4][256];
};
