#include "oggwriter.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

namespace oggfile {
namespace {

constexpr double kTwoPi = 6.283185307179586;
// Frames handed to the encoder at a time.
constexpr size_t kChunkFrames = 1024;

void AppendPage(const ogg_page& page, std::string& out) {
    out.append(reinterpret_cast<const char*>(page.header), page.header_len);
    out.append(reinterpret_cast<const char*>(page.body), page.body_len);
}

struct MemoryRead {
    const std::string* bytes;
    size_t position;
};

size_t ReadMemory(void* destination, size_t size, size_t count, void* source) {
    auto* memory = static_cast<MemoryRead*>(source);
    size_t bytes = std::min(size * count, memory->bytes->size() - memory->position);
    std::memcpy(destination, memory->bytes->data() + memory->position, bytes);
    memory->position += bytes;
    return size > 0 ? bytes / size : 0;
}

int SeekMemory(void* source, ogg_int64_t offset, int whence) {
    auto* memory = static_cast<MemoryRead*>(source);
    int64_t base = whence == SEEK_SET   ? 0
                   : whence == SEEK_CUR ? static_cast<int64_t>(memory->position)
                                        : static_cast<int64_t>(memory->bytes->size());
    int64_t target = base + offset;
    if (target < 0 || target > static_cast<int64_t>(memory->bytes->size())) return -1;
    memory->position = static_cast<size_t>(target);
    return 0;
}

long TellMemory(void* source) {
    return static_cast<long>(static_cast<MemoryRead*>(source)->position);
}

int16_t ToSample(double value) {
    return static_cast<int16_t>(std::lround(std::clamp(value, -1.0, 1.0) * 32767.0));
}

}  // namespace

std::string WriteOgg(const OggSound& sound) {
    vorbis_info info;
    vorbis_info_init(&info);
    if (sound.channels < 1 ||
        vorbis_encode_init_vbr(&info, sound.channels, sound.rate, sound.quality) != 0) {
        vorbis_info_clear(&info);
        return {};
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, sound.serial);

    std::string out;
    ogg_packet header, commentHeader, codebooks;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codebooks);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentHeader);
    ogg_stream_packetin(&stream, &codebooks);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0)
        AppendPage(page, out);

    const size_t channels = static_cast<size_t>(sound.channels);
    const size_t frames = sound.samples.size() / channels;
    size_t done = 0;
    bool ended = false;
    while (!ended) {
        size_t count = std::min(kChunkFrames, frames - done);
        if (count == 0) {
            vorbis_analysis_wrote(&dsp, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
            for (size_t i = 0; i < count; ++i) {
                for (size_t c = 0; c < channels; ++c)
                    buffer[c][i] = sound.samples[(done + i) * channels + c] / 32768.0f;
            }
            vorbis_analysis_wrote(&dsp, static_cast<int>(count));
            done += count;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    AppendPage(page, out);
                    if (ogg_page_eos(&page)) ended = true;
                }
            }
        }
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

std::vector<int16_t> SineTone(int rate, int channels, size_t frames, double hertz,
                              double amplitude) {
    std::vector<int16_t> samples(frames * channels);
    for (size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            double phase = kTwoPi * hertz * (1 << c) * static_cast<double>(i) / rate;
            samples[i * channels + c] = ToSample(amplitude * std::sin(phase));
        }
    }
    return samples;
}

std::vector<int16_t> Silence(int channels, size_t frames) {
    return std::vector<int16_t>(frames * channels, 0);
}

std::vector<int16_t> Sweep(int rate, int channels, size_t frames, double fromHertz, double toHertz,
                           double amplitude) {
    std::vector<int16_t> samples(frames * channels);
    double seconds = static_cast<double>(frames) / rate;
    double rise = seconds > 0 ? (toHertz - fromHertz) / seconds : 0.0;
    for (size_t i = 0; i < frames; ++i) {
        double t = static_cast<double>(i) / rate;
        double phase = kTwoPi * (fromHertz * t + rise * t * t / 2);
        for (int c = 0; c < channels; ++c)
            samples[i * channels + c] = ToSample(amplitude * std::sin(phase + c));
    }
    return samples;
}

std::string WithLastGranule(const std::string& ogg, int64_t granule) {
    std::string out = ogg;
    size_t at = out.rfind("OggS");
    constexpr size_t kFixedHeader = 27;
    if (at == std::string::npos || out.size() < at + kFixedHeader) return out;
    for (int i = 0; i < 8; ++i)
        out[at + 6 + i] = static_cast<char>(static_cast<uint64_t>(granule) >> (8 * i));
    auto* header = reinterpret_cast<unsigned char*>(&out[at]);
    size_t segments = header[26];
    size_t headerLength = kFixedHeader + segments;
    if (out.size() < at + headerLength) return out;
    size_t bodyLength = 0;
    for (size_t i = 0; i < segments; ++i)
        bodyLength += header[kFixedHeader + i];
    if (out.size() < at + headerLength + bodyLength) return out;
    ogg_page page;
    page.header = header;
    page.header_len = static_cast<long>(headerLength);
    page.body = header + headerLength;
    page.body_len = static_cast<long>(bodyLength);
    ogg_page_checksum_set(&page);
    return out;
}

DecodedOgg DecodeOgg(const std::string& bytes) {
    DecodedOgg decoded;
    MemoryRead memory{&bytes, 0};
    OggVorbis_File file;
    ov_callbacks callbacks{&ReadMemory, &SeekMemory, nullptr, &TellMemory};
    if (ov_open_callbacks(&memory, &file, nullptr, 0, callbacks) != 0) return decoded;
    vorbis_info* info = ov_info(&file, -1);
    decoded.rate = static_cast<int>(info->rate);
    decoded.channels = info->channels;
    char buffer[4096];
    int section = 0;
    long got;
    while ((got = ov_read(&file, buffer, sizeof buffer, 0, 2, 1, &section)) != 0) {
        if (got == OV_HOLE) continue;  // what follows a hole still counts
        if (got < 0) break;
        size_t at = decoded.samples.size();
        decoded.samples.resize(at + static_cast<size_t>(got) / 2);
        std::memcpy(decoded.samples.data() + at, buffer, static_cast<size_t>(got));
    }
    ov_clear(&file);
    decoded.ok = true;
    return decoded;
}

}  // namespace oggfile
