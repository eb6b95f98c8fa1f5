#include "DecodedVideo.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <cmath>
#include <cstdlib>

namespace {

struct Decoder {
    AVFormatContext* file = nullptr;
    AVCodecContext* codecs[2] = {nullptr, nullptr};  // picture, sound
    int streamOf[2] = {-1, -1};
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    SwsContext* scaler = nullptr;

    ~Decoder()
    {
        for (AVCodecContext*& c : codecs)
            avcodec_free_context(&c);
        avformat_close_input(&file);
        av_packet_free(&packet);
        av_frame_free(&frame);
        sws_freeContext(scaler);
    }

    std::vector<uint32_t> Argb(const AVCodecContext* c)
    {
        scaler = sws_getCachedContext(scaler, frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                                      frame->width, frame->height, AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr,
                                      nullptr);
        const int space = c->colorspace == AVCOL_SPC_BT709 ? SWS_CS_ITU709 : SWS_CS_DEFAULT;
        sws_setColorspaceDetails(scaler, sws_getCoefficients(space), c->color_range == AVCOL_RANGE_JPEG,
                                 sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
        std::vector<uint32_t> argb(static_cast<size_t>(frame->width) * frame->height);
        uint8_t* to[1] = {reinterpret_cast<uint8_t*>(argb.data())};
        const int stride[1] = {frame->width * 4};
        sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, to, stride);
        return argb;
    }

    // Takes every frame the decoder has ready. Both decoders here give float samples.
    void Receive(int kind, DecodedVideo& video)
    {
        while (avcodec_receive_frame(codecs[kind], frame) == 0) {
            if (kind == 0) {
                video.last = Argb(codecs[kind]);
                if (video.pictures++ == 0)
                    video.first = video.last;
            } else {
                const int channels = frame->ch_layout.nb_channels;
                const bool planar = frame->format == AV_SAMPLE_FMT_FLTP;
                for (int i = 0; i < frame->nb_samples; ++i)
                    for (int ch = 0; ch < channels; ++ch)
                        video.sound.push_back(planar
                                                  ? reinterpret_cast<const float*>(frame->extended_data[ch])[i]
                                                  : reinterpret_cast<const float*>(frame->data[0])[i * channels + ch]);
            }
            av_frame_unref(frame);
        }
    }
};

}  // namespace

bool DecodeVideo(const std::string& path, DecodedVideo& video, std::string& error)
{
    video = DecodedVideo();
    Decoder d;
    if (avformat_open_input(&d.file, path.c_str(), nullptr, nullptr) < 0 ||
        avformat_find_stream_info(d.file, nullptr) < 0) {
        error = "cannot open " + path;
        return false;
    }
    video.streams = static_cast<int>(d.file->nb_streams);
    video.seconds = static_cast<double>(d.file->duration) / AV_TIME_BASE;
    for (int kind = 0; kind < 2; ++kind) {
        const int index = av_find_best_stream(d.file, kind ? AVMEDIA_TYPE_AUDIO : AVMEDIA_TYPE_VIDEO, -1, -1, nullptr,
                                              0);
        if (index < 0)
            continue;
        const AVStream* stream = d.file->streams[index];
        const AVCodecParameters* p = stream->codecpar;
        const AVCodec* codec = avcodec_find_decoder(p->codec_id);
        d.codecs[kind] = avcodec_alloc_context3(codec);
        if (!codec || avcodec_parameters_to_context(d.codecs[kind], p) < 0 ||
            avcodec_open2(d.codecs[kind], codec, nullptr) < 0) {
            error = "no decoder for stream " + std::to_string(index);
            return false;
        }
        d.streamOf[kind] = index;
        (kind ? video.soundCodec : video.pictureCodec) = avcodec_get_name(p->codec_id);
        if (kind == 0) {
            video.width = p->width;
            video.height = p->height;
            const char* name = av_get_pix_fmt_name(static_cast<AVPixelFormat>(p->format));
            video.pixelFormat = name ? name : "";
            video.fps = static_cast<int>(std::lround(av_q2d(stream->avg_frame_rate)));
        } else {
            video.soundRate = p->sample_rate;
            video.soundChannels = p->ch_layout.nb_channels;
        }
    }
    while (av_read_frame(d.file, d.packet) >= 0) {
        for (int kind = 0; kind < 2; ++kind)
            if (d.packet->stream_index == d.streamOf[kind] && avcodec_send_packet(d.codecs[kind], d.packet) == 0)
                d.Receive(kind, video);
        av_packet_unref(d.packet);
    }
    for (int kind = 0; kind < 2; ++kind)
        if (d.codecs[kind] && avcodec_send_packet(d.codecs[kind], nullptr) == 0)
            d.Receive(kind, video);
    return true;
}

double MeanPictureDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b)
{
    if (a.size() != b.size() || a.empty())
        return 256.0;
    double sum = 0.0;
    for (size_t i = 0; i < a.size(); ++i)
        for (int shift : {0, 8, 16})
            sum += std::abs(static_cast<int>((a[i] >> shift) & 0xFF) - static_cast<int>((b[i] >> shift) & 0xFF));
    return sum / (3.0 * static_cast<double>(a.size()));
}
