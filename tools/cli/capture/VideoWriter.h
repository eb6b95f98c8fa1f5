#pragma once

// A video file through FFmpeg's libraries: pictures from ARGB pixels, turned into
// 4:2:0 YUV (BT.709, limited range) by libswscale and encoded as H.264 (libx264)
// or VP9 (libvpx), and sound from 44,100 Hz stereo floats, encoded as AAC at that
// rate or, resampled to 48 kHz by libswresample, as Opus. The picture is encoded
// on the caller's thread as it comes; the codecs' own threads do the rest.

#include "VideoOptions.h"

#include <cstdint>
#include <memory>
#include <string>

struct VideoFormat {
    VideoContainer container = VideoContainer::Mp4;
    int width = 1024;
    int height = 768;
    int fps = 60;
    int crf = 18;
};

class VideoWriter {
public:
    VideoWriter();
    VideoWriter(const VideoWriter&) = delete;
    VideoWriter& operator=(const VideoWriter&) = delete;
    // A file that was opened and not finished is removed.
    ~VideoWriter();

    // Creates the file and writes its header. False with a one-line reason, and
    // no file left behind, when the codecs or the file cannot be had.
    bool Open(const std::string& path, const VideoFormat& format, std::string& error);

    // The next picture: width x height ARGB pixels, top row first, faded toward
    // black by `level` (1 leaves it as it is, 0 is black). False when out of memory.
    bool ConvertPicture(const uint32_t* argb, double level);
    // Encodes the picture ConvertPicture made and writes what the encoder gives.
    bool EncodePicture(std::string& error);

    // Sound frames: `count` left-right pairs, 44,100 a second, full scale at 1.
    bool WriteSound(const float* frames, int count, std::string& error);

    // Flushes the encoders and ends the file; false with a one-line reason, the
    // file removed, when the last writes fail.
    bool Finish(std::string& error);
    // Closes the file and removes it.
    void Abandon();

    int64_t PicturesEncoded() const;

private:
    struct Codecs;
    std::unique_ptr<Codecs> m_codecs;
    std::string m_path;
};
