// A source that cannot be read to its end (a pulled stick, a share that
// stops answering) fails with the byte where reading stopped.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "source.h"

namespace {

// A file's bytes up to fail_at, then `error`; it cannot seek, as a stream.
struct FailingReader {
    const std::string& data;
    int64_t fail_at;
    int error;
    int64_t at = 0;
    static int Read(void* opaque, uint8_t* buffer, int size) {
        auto* r = static_cast<FailingReader*>(opaque);
        size = static_cast<int>(std::min<int64_t>(size, r->fail_at - r->at));
        if (size == 0) return r->error;
        memcpy(buffer, r->data.data() + r->at, size);
        r->at += size;
        return size;
    }
};

TEST(SourceRead, ReadErrorIsNoEndOfFile) {
    const std::string base = std::filesystem::temp_directory_path() / ("trancor-read-" + std::to_string(getpid()));
    for (const char* format : {"mpegts -c:v mpeg2video -c:a mp2", "vob -c:v mpeg2video -c:a mp2",
                               "webm -c:v libvpx -c:a libvorbis"}) {
        const std::string make = "ffmpeg -v error -nostdin -y -f lavfi -i testsrc2=size=160x120 -f lavfi -i sine "
                                 "-t 4 -f " + std::string(format) + " " + base;
        ASSERT_EQ(std::system(make.c_str()), 0) << make;
        std::ifstream file(base, std::ios::binary);
        const std::string data{std::istreambuf_iterator<char>(file), {}};
        for (const int error : {AVERROR(EIO), AVERROR(ENXIO), AVERROR(ETIMEDOUT)}) {
            FailingReader reader{data, static_cast<int64_t>(data.size() * 3 / 4), error};
            std::unique_ptr<AVIOContext, void (*)(AVIOContext*)> io(
                avio_alloc_context(static_cast<uint8_t*>(av_malloc(4096)), 4096, 0, &reader, &FailingReader::Read,
                                   nullptr, nullptr),
                [](AVIOContext* c) { av_freep(&c->buffer), avio_context_free(&c); });
            SCOPED_TRACE(format);
            Source source(base, io.get());
            av::Packet packet = av::NewPacket();
            try {
                while (source.ReadPacket(packet.get())) av_packet_unref(packet.get());
                ADD_FAILURE() << format << ": read to its end through " << av::ErrorText(error);
            } catch (const Failure& failure) {
                EXPECT_EQ(failure.reason(), FailureReason::SourceUnreadable);
                EXPECT_NE(std::string(failure.what()).find("at byte " + std::to_string(data.size() * 3 / 4) + ": "),
                          std::string::npos) << failure.what();
            }
        }
    }
    std::filesystem::remove(base);
}

}  // namespace
