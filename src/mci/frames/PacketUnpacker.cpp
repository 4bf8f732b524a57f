#include "mci/frames/PacketUnpacker.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/bsf.h>
#include <libavformat/avformat.h>
}

namespace mci {

PacketUnpacker::~PacketUnpacker()
{
    close();
}

bool PacketUnpacker::open(const AVStream* stream)
{
    close();
    if (!stream || stream->codecpar->codec_id != AV_CODEC_ID_MPEG4)
        return true;
    const AVBitStreamFilter* filter = av_bsf_get_by_name("mpeg4_unpack_bframes");
    if (!filter || av_bsf_alloc(filter, &bsf_) < 0)
        return false;
    if (avcodec_parameters_copy(bsf_->par_in, stream->codecpar) < 0 || av_bsf_init(bsf_) < 0) {
        close();
        return false;
    }
    return true;
}

void PacketUnpacker::close()
{
    av_bsf_free(&bsf_);
    packed_ = false;
}

// User data (start code 0x1B2) naming a DivX build that ends in 'p', as the decoder
// reads it.
bool PacketUnpacker::declaresPacking(const AVPacket* pkt)
{
    static const uint8_t kUserData[] = {0, 0, 1, 0xB2};
    const uint8_t* at = pkt->data;
    const uint8_t* end = pkt->data + pkt->size;
    while ((at = std::search(at, end, kUserData, kUserData + 4)) != end) {
        at += 4;
        const uint8_t* stop = std::find(at, std::min(end, at + 255), uint8_t(0));
        const std::string text(at, stop);
        int version = 0;
        int build = 0;
        char last = 0;
        if (std::sscanf(text.c_str(), "DivX%dBuild%d%c", &version, &build, &last) == 3
            || std::sscanf(text.c_str(), "DivX%db%d%c", &version, &build, &last) == 3)
            return last == 'p';
    }
    return false;
}

void PacketUnpacker::flush()
{
    if (bsf_)
        av_bsf_flush(bsf_);
}

bool PacketUnpacker::unpack(AVPacket* pkt)
{
    // An empty packet would tell the filter that the stream has ended.
    if (!bsf_ || (pkt->size == 0 && pkt->side_data_elems == 0))
        return true;
    if (!packed_)
        packed_ = declaresPacking(pkt);
    if (!packed_)
        return true;
    // This filter gives at most one packet for each it takes, and takes the next
    // only once that one is out: send and receive stay in step.
    if (av_bsf_send_packet(bsf_, pkt) < 0) {
        av_packet_unref(pkt);
        return false;
    }
    return av_bsf_receive_packet(bsf_, pkt) == 0;
}

} // namespace mci
