#pragma once

struct AVBSFContext;
struct AVPacket;
struct AVStream;

namespace mci {

// Splits packed B-frames, as XviD and DivX wrote MPEG-4 ASP video into AVI: the B-frame
// rides in the packet of the reference before it, and a placeholder of a few bytes
// stands where the B-frame belongs. Unpacked, every packet holds the one picture the
// decoder makes of it, in its own place, so packets and pictures correspond one to
// one; lone placeholders, which the decoder turns into no picture, are dropped. As
// FFmpeg's decoder, it unpacks only once the stream has said that it packs (the writer's
// "DivX...p" user data, which XviD writes too); other packets pass unchanged. The index
// and the decoder both read through it.
class PacketUnpacker {
public:
    PacketUnpacker() = default;
    ~PacketUnpacker();
    PacketUnpacker(const PacketUnpacker&) = delete;
    PacketUnpacker& operator=(const PacketUnpacker&) = delete;

    // Prepares for the stream's codec; false only when the filter cannot be set up.
    bool open(const AVStream* stream);
    void close();
    // Forgets a B-frame held back: the next packet read does not follow the last one.
    void flush();
    // Replaces the packet by what it stands for; false: it stands for no picture
    // (the packet is then empty).
    bool unpack(AVPacket* pkt);

private:
    static bool declaresPacking(const AVPacket* pkt);

    AVBSFContext* bsf_ = nullptr;
    bool packed_ = false;   // the stream said so: unpack from here on
};

} // namespace mci
