#include "VideoWriter.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

const int SOUND_RATE_IN = 44100;
const int OPUS_RATE = 48000;
const int AAC_BIT_RATE = 192000;
const int OPUS_BIT_RATE = 160000;

std::string Describe(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

struct Codec {
    const char* container;  // FFmpeg's name of the muxer
    const char* picture;    // and of the encoders
    const char* sound;
};

Codec CodecsFor(VideoContainer container)
{
    switch (container) {
    case VideoContainer::Matroska: return {"matroska", "libvpx-vp9", "libopus"};
    case VideoContainer::WebM: return {"webm", "libvpx-vp9", "libopus"};
    default: return {"mp4", "libx264", "aac"};
    }
}

}  // namespace

struct VideoWriter::Codecs {
    AVFormatContext* file = nullptr;
    AVCodecContext* picture = nullptr;
    AVCodecContext* sound = nullptr;
    AVStream* pictureStream = nullptr;
    AVStream* soundStream = nullptr;
    SwsContext* scaler = nullptr;
    SwrContext* resampler = nullptr;
    AVAudioFifo* fifo = nullptr;
    AVFrame* pictureFrame = nullptr;
    AVFrame* soundFrame = nullptr;
    AVPacket* packet = nullptr;
    int width = 0;
    int height = 0;
    int64_t picturesSent = 0;
    int64_t soundSent = 0;            // in the encoder's samples
    std::vector<uint8_t*> converted;  // one resampled stretch, per plane
    int convertedCapacity = 0;

    ~Codecs()
    {
        if (file && file->pb)
            avio_closep(&file->pb);
        avformat_free_context(file);
        avcodec_free_context(&picture);
        avcodec_free_context(&sound);
        sws_freeContext(scaler);
        swr_free(&resampler);
        if (fifo)
            av_audio_fifo_free(fifo);
        av_frame_free(&pictureFrame);
        av_frame_free(&soundFrame);
        av_packet_free(&packet);
        if (!converted.empty())
            av_freep(&converted[0]);
    }

    // Takes every packet the encoder has ready and puts it in the file.
    bool Drain(AVCodecContext* codec, AVStream* stream, std::string& error)
    {
        for (;;) {
            const int result = avcodec_receive_packet(codec, packet);
            if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
                return true;
            if (result < 0) {
                error = std::string("the encoder ") + codec->codec->name + " failed: " + Describe(result);
                return false;
            }
            if (packet->duration == 0 && codec == picture)
                packet->duration = 1;
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            const int written = av_interleaved_write_frame(file, packet);
            if (written < 0) {
                error = "could not write the video: " + Describe(written);
                return false;
            }
        }
    }

    bool Send(AVCodecContext* codec, AVStream* stream, const AVFrame* frame, std::string& error)
    {
        const int result = avcodec_send_frame(codec, frame);
        if (result < 0) {
            error = std::string("the encoder ") + codec->codec->name + " refused a frame: " + Describe(result);
            return false;
        }
        return Drain(codec, stream, error);
    }

    // Encodes whole encoder frames from the FIFO; with `last`, also what is left.
    bool EncodeSound(bool last, std::string& error)
    {
        const int size = sound->frame_size > 0 ? sound->frame_size : 1024;
        while (av_audio_fifo_size(fifo) >= size || (last && av_audio_fifo_size(fifo) > 0)) {
            const int available = av_audio_fifo_size(fifo);
            const bool shortFrame = available < size;
            // Encoders that take no short last frame get it filled with silence.
            const bool takesShort = sound->codec->capabilities &
                                    (AV_CODEC_CAP_SMALL_LAST_FRAME | AV_CODEC_CAP_VARIABLE_FRAME_SIZE);
            // Whole frames' room first: a frame the encoder still holds is copied at its size.
            soundFrame->nb_samples = size;
            if (av_frame_make_writable(soundFrame) < 0) {
                error = "out of memory for the sound";
                return false;
            }
            if (shortFrame)
                av_samples_set_silence(soundFrame->data, 0, size, 2, sound->sample_fmt);
            av_audio_fifo_read(fifo, reinterpret_cast<void**>(soundFrame->data), std::min(available, size));
            soundFrame->nb_samples = shortFrame && takesShort ? available : size;
            soundFrame->pts = soundSent;
            soundSent += soundFrame->nb_samples;
            if (!Send(sound, soundStream, soundFrame, error))
                return false;
        }
        return true;
    }

    // Resamples `count` input frames (none: the resampler's tail) into the FIFO.
    bool Resample(const float* frames, int count, std::string& error)
    {
        const int room = swr_get_out_samples(resampler, count);
        if (room > convertedCapacity) {
            if (!converted.empty())
                av_freep(&converted[0]);
            converted.assign(2, nullptr);
            if (av_samples_alloc(converted.data(), nullptr, 2, room, sound->sample_fmt, 0) < 0) {
                converted.clear();
                convertedCapacity = 0;
                error = "out of memory for the sound";
                return false;
            }
            convertedCapacity = room;
        }
        const uint8_t* in[1] = {reinterpret_cast<const uint8_t*>(frames)};
        const int made = swr_convert(resampler, converted.data(), convertedCapacity, frames ? in : nullptr, count);
        if (made < 0 ||
            (made > 0 && av_audio_fifo_write(fifo, reinterpret_cast<void**>(converted.data()), made) < made)) {
            error = "the sound could not be resampled";
            return false;
        }
        return true;
    }
};

VideoWriter::VideoWriter() = default;

VideoWriter::~VideoWriter()
{
    Abandon();
}

bool VideoWriter::Open(const std::string& path, const VideoFormat& format, std::string& error)
{
    Abandon();
    // The libraries' own chatter would bury the capture's lines; their errors stay.
    av_log_set_level(AV_LOG_ERROR);
    m_codecs.reset(new Codecs());
    Codecs& c = *m_codecs;
    c.width = format.width;
    c.height = format.height;
    const Codec names = CodecsFor(format.container);
    const AVCodec* pictureCodec = avcodec_find_encoder_by_name(names.picture);
    const AVCodec* soundCodec = avcodec_find_encoder_by_name(names.sound);
    if (!pictureCodec || !soundCodec) {
        error = std::string("this FFmpeg has no ") + (pictureCodec ? names.sound : names.picture) + " encoder";
        m_codecs.reset();
        return false;
    }
    if (avformat_alloc_output_context2(&c.file, nullptr, names.container, path.c_str()) < 0 || !c.file) {
        error = std::string("this FFmpeg cannot write ") + names.container + " files";
        m_codecs.reset();
        return false;
    }
    const bool globalHeader = c.file->oformat->flags & AVFMT_GLOBALHEADER;
    c.picture = avcodec_alloc_context3(pictureCodec);
    c.sound = avcodec_alloc_context3(soundCodec);
    if (!c.picture || !c.sound) {
        error = "out of memory for the encoders";
        m_codecs.reset();
        return false;
    }

    // The picture.
    c.picture->width = format.width;
    c.picture->height = format.height;
    c.picture->pix_fmt = AV_PIX_FMT_YUV420P;
    c.picture->time_base = AVRational{1, format.fps};
    c.picture->framerate = AVRational{format.fps, 1};
    c.picture->color_range = AVCOL_RANGE_MPEG;
    c.picture->colorspace = AVCOL_SPC_BT709;
    c.picture->color_primaries = AVCOL_PRI_BT709;
    c.picture->color_trc = AVCOL_TRC_BT709;
    if (globalHeader)
        c.picture->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* options = nullptr;
    av_dict_set_int(&options, "crf", format.crf, 0);
    if (format.container == VideoContainer::Mp4) {
        // The fastest presets spend less than a tenth of a software-rendered
        // frame's time; "veryfast" keeps the file small at that cost.
        av_dict_set(&options, "preset", "veryfast", 0);
    } else {
        av_dict_set(&options, "deadline", "realtime", 0);
        av_dict_set(&options, "cpu-used", "8", 0);
        av_dict_set(&options, "row-mt", "1", 0);
        av_dict_set(&options, "b", "0", 0);
    }
    int result = avcodec_open2(c.picture, pictureCodec, &options);
    av_dict_free(&options);
    if (result < 0) {
        error = std::string("the encoder ") + names.picture + " would not start: " + Describe(result);
        m_codecs.reset();
        return false;
    }

    // The sound: the encoder's first sample format; Opus only at 48 kHz.
    c.sound->sample_fmt = soundCodec->sample_fmts ? soundCodec->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
    c.sound->sample_rate = format.container == VideoContainer::Mp4 ? SOUND_RATE_IN : OPUS_RATE;
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    av_channel_layout_copy(&c.sound->ch_layout, &stereo);
    c.sound->bit_rate = format.container == VideoContainer::Mp4 ? AAC_BIT_RATE : OPUS_BIT_RATE;
    c.sound->time_base = AVRational{1, c.sound->sample_rate};
    if (globalHeader)
        c.sound->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    result = avcodec_open2(c.sound, soundCodec, nullptr);
    if (result < 0) {
        error = std::string("the encoder ") + names.sound + " would not start: " + Describe(result);
        m_codecs.reset();
        return false;
    }

    c.pictureStream = avformat_new_stream(c.file, nullptr);
    c.soundStream = avformat_new_stream(c.file, nullptr);
    if (!c.pictureStream || !c.soundStream ||
        avcodec_parameters_from_context(c.pictureStream->codecpar, c.picture) < 0 ||
        avcodec_parameters_from_context(c.soundStream->codecpar, c.sound) < 0) {
        error = "out of memory for the video's streams";
        m_codecs.reset();
        return false;
    }
    c.pictureStream->time_base = c.picture->time_base;
    c.pictureStream->avg_frame_rate = c.picture->framerate;
    c.soundStream->time_base = c.sound->time_base;

    // The converters and the frames they fill.
    c.scaler = sws_getContext(format.width, format.height, AV_PIX_FMT_BGRA, format.width, format.height,
                              AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (c.scaler) {
        const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
        sws_setColorspaceDetails(c.scaler, bt709, 1, bt709, 0, 0, 1 << 16, 1 << 16);
    }
    swr_alloc_set_opts2(&c.resampler, &stereo, c.sound->sample_fmt, c.sound->sample_rate, &stereo, AV_SAMPLE_FMT_FLT,
                        SOUND_RATE_IN, 0, nullptr);
    c.fifo = av_audio_fifo_alloc(c.sound->sample_fmt, 2, c.sound->sample_rate);
    c.pictureFrame = av_frame_alloc();
    c.soundFrame = av_frame_alloc();
    c.packet = av_packet_alloc();
    if (c.pictureFrame) {
        c.pictureFrame->format = AV_PIX_FMT_YUV420P;
        c.pictureFrame->width = format.width;
        c.pictureFrame->height = format.height;
    }
    if (c.soundFrame) {
        c.soundFrame->format = c.sound->sample_fmt;
        c.soundFrame->sample_rate = c.sound->sample_rate;
        av_channel_layout_copy(&c.soundFrame->ch_layout, &stereo);
        c.soundFrame->nb_samples = c.sound->frame_size > 0 ? c.sound->frame_size : 1024;
    }
    if (!c.scaler || !c.resampler || swr_init(c.resampler) < 0 || !c.fifo || !c.pictureFrame || !c.soundFrame ||
        !c.packet || av_frame_get_buffer(c.pictureFrame, 0) < 0 || av_frame_get_buffer(c.soundFrame, 0) < 0) {
        error = "the picture and sound converters would not start";
        m_codecs.reset();
        return false;
    }

    result = avio_open(&c.file->pb, path.c_str(), AVIO_FLAG_WRITE);
    if (result < 0) {
        error = "cannot write " + path + ": " + Describe(result);
        m_codecs.reset();
        return false;
    }
    m_path = path;
    AVDictionary* muxing = nullptr;
    // The index goes first, so a player can start before the whole file is there.
    if (format.container == VideoContainer::Mp4)
        av_dict_set(&muxing, "movflags", "+faststart", 0);
    result = avformat_write_header(c.file, &muxing);
    av_dict_free(&muxing);
    if (result < 0) {
        error = "cannot write " + path + ": " + Describe(result);
        Abandon();
        return false;
    }
    return true;
}

bool VideoWriter::ConvertPicture(const uint32_t* argb, double level)
{
    Codecs& c = *m_codecs;
    if (av_frame_make_writable(c.pictureFrame) < 0)
        return false;
    const uint8_t* source[1] = {reinterpret_cast<const uint8_t*>(argb)};
    const int stride[1] = {c.width * 4};
    sws_scale(c.scaler, source, stride, 0, c.height, c.pictureFrame->data, c.pictureFrame->linesize);
    if (level >= 1.0)
        return true;
    // Toward black: luma toward 16 and chroma toward 128, the limited range's black.
    uint8_t luma[256], chroma[256];
    for (int v = 0; v < 256; ++v) {
        luma[v] = static_cast<uint8_t>(std::lround(16.0 + (v - 16) * level));
        chroma[v] = static_cast<uint8_t>(std::lround(128.0 + (v - 128) * level));
    }
    for (int plane = 0; plane < 3; ++plane) {
        const uint8_t* table = plane == 0 ? luma : chroma;
        const int w = plane == 0 ? c.width : (c.width + 1) / 2;
        const int h = plane == 0 ? c.height : (c.height + 1) / 2;
        for (int y = 0; y < h; ++y) {
            uint8_t* row = c.pictureFrame->data[plane] + static_cast<ptrdiff_t>(y) * c.pictureFrame->linesize[plane];
            for (int x = 0; x < w; ++x)
                row[x] = table[row[x]];
        }
    }
    return true;
}

bool VideoWriter::EncodePicture(std::string& error)
{
    Codecs& c = *m_codecs;
    c.pictureFrame->pts = c.picturesSent++;
    return c.Send(c.picture, c.pictureStream, c.pictureFrame, error);
}

bool VideoWriter::WriteSound(const float* frames, int count, std::string& error)
{
    Codecs& c = *m_codecs;
    return count <= 0 || (c.Resample(frames, count, error) && c.EncodeSound(false, error));
}

bool VideoWriter::Finish(std::string& error)
{
    if (!m_codecs) {
        error = "the video was not open";
        return false;
    }
    Codecs& c = *m_codecs;
    bool ok = c.Resample(nullptr, 0, error) && c.EncodeSound(true, error) &&
              c.Send(c.sound, c.soundStream, nullptr, error) && c.Send(c.picture, c.pictureStream, nullptr, error);
    if (ok) {
        const int result = av_write_trailer(c.file);
        if (result < 0) {
            error = "could not end " + m_path + ": " + Describe(result);
            ok = false;
        }
    }
    if (ok && avio_closep(&c.file->pb) < 0) {
        error = "could not end " + m_path;
        ok = false;
    }
    if (!ok) {
        Abandon();
        return false;
    }
    m_codecs.reset();
    m_path.clear();
    return true;
}

void VideoWriter::Abandon()
{
    m_codecs.reset();
    if (!m_path.empty())
        std::remove(m_path.c_str());
    m_path.clear();
}

int64_t VideoWriter::PicturesEncoded() const
{
    return m_codecs ? m_codecs->picturesSent : 0;
}
