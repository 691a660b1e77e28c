#include "mpeg4_colour.h"

#include <cstddef>

namespace {

constexpr uint8_t kVisualObject = 0xB5;

class BitReader {
public:
    BitReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Read(int count, unsigned* value) {
        *value = 0;
        for (int i = 0; i < count; ++i, ++bit_) {
            if (bit_ / 8 >= size_) return false;
            *value = *value << 1 | ((data_[bit_ / 8] >> (7 - bit_ % 8)) & 1);
        }
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t bit_ = 0;
};

class BitWriter {
public:
    void Write(int count, unsigned value) {
        for (int i = count - 1; i >= 0; --i) {
            if (bits_ % 8 == 0) bytes_.push_back(0);
            bytes_.back() |= static_cast<uint8_t>(((value >> i) & 1) << (7 - bits_ % 8));
            ++bits_;
        }
    }
    // next_start_code(): a zero bit, then ones up to the byte's end.
    void Stuff() {
        Write(1, 0);
        while (bits_ % 8) Write(1, 1);
    }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    size_t bits_ = 0;
};

// Where the next start code (00 00 01) at or after `from` begins; size when none.
size_t NextStartCode(const std::vector<uint8_t>& data, size_t from) {
    for (size_t i = from; i + 3 <= data.size(); ++i)
        if (data[i] == 0 && data[i + 1] == 0 && data[i + 2] == 1) return i;
    return data.size();
}

}  // namespace

bool DescribeMpeg4Colours(std::vector<uint8_t>* headers, int primaries, int transfer, int matrix) {
    const std::vector<uint8_t>& in = *headers;
    size_t start = NextStartCode(in, 0);
    while (start + 3 < in.size() && in[start + 3] != kVisualObject) start = NextStartCode(in, start + 3);
    if (start + 3 >= in.size()) return false;
    const size_t body = start + 4;
    const size_t end = NextStartCode(in, body);
    BitReader read(in.data() + body, end - body);
    BitWriter write;
    unsigned identified = 0, verid = 0, priority = 0, type = 0, signal = 0;
    if (!read.Read(1, &identified)) return false;
    write.Write(1, identified);
    if (identified) {
        if (!read.Read(4, &verid) || !read.Read(3, &priority)) return false;
        write.Write(4, verid);
        write.Write(3, priority);
    }
    // Type 1 is video; a header that already speaks of its signal stays.
    if (!read.Read(4, &type) || type != 1 || !read.Read(1, &signal) || signal) return false;
    write.Write(4, type);
    write.Write(1, 1);  // video_signal_type
    write.Write(3, 5);  // video_format: unspecified
    write.Write(1, 0);  // video_range: limited
    write.Write(1, 1);  // colour_description
    write.Write(8, static_cast<unsigned>(primaries));
    write.Write(8, static_cast<unsigned>(transfer));
    write.Write(8, static_cast<unsigned>(matrix));
    write.Stuff();
    std::vector<uint8_t> out(in.begin(), in.begin() + static_cast<std::ptrdiff_t>(body));
    out.insert(out.end(), write.bytes().begin(), write.bytes().end());
    out.insert(out.end(), in.begin() + static_cast<std::ptrdiff_t>(end), in.end());
    headers->swap(out);
    return true;
}
