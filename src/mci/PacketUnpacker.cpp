#include "mci/PacketUnpacker.h"

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
    // This filter gives at most one packet for each it takes, and takes the next
    // only once that one is out: send and receive stay in step.
    if (av_bsf_send_packet(bsf_, pkt) < 0) {
        av_packet_unref(pkt);
        return false;
    }
    return av_bsf_receive_packet(bsf_, pkt) == 0;
}

} // namespace mci
