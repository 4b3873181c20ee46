#include "maps/tkm_file.h"

#include <algorithm>
#include <cstring>

namespace {

// Limits of the variable records; a length beyond them is damage, not data.
constexpr int32_t kMaxNameBytes = 4096;      // far above the 260-character names
constexpr int32_t kMaxExtraBytes = 1 << 20;  // licence and source notices
constexpr int32_t kMaxSkipBytes = 1 << 24;   // blocks the reader does not use
constexpr int32_t kMaxProjectionBytes = 256; // the largest class writes 16
constexpr int32_t kMaxPaletteBits = 8;       // 256 colour-table entries
constexpr size_t kNameChars = 259;           // display names hold 260 with the zero

// Buffered reads of a file whose size bounds every length.
class WordReader {
public:
    explicit WordReader(HANDLE file) : file_(file) {
        LARGE_INTEGER size;
        size_ = GetFileSizeEx(file, &size) ? size.QuadPart : 0;
    }
    int64_t size() const { return size_; }
    int64_t position() const { return pos_; }
    int64_t remaining() const { return size_ - pos_; }

    bool Word(int32_t* value) {
        uint8_t b[4];
        if (!Read(b, 4))
            return false;
        *value = int32_t(uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) |
                         (uint32_t(b[3]) << 24));
        return true;
    }
    bool Read(void* dest, int64_t count) {
        if (count < 0 || count > remaining())
            return false;
        uint8_t* out = static_cast<uint8_t*>(dest);
        while (count > 0) {
            if (bufPos_ == bufLen_ && !Refill())
                return false;
            size_t n = std::min<size_t>(size_t(count), bufLen_ - bufPos_);
            memcpy(out, buffer_ + bufPos_, n);
            out += n;
            bufPos_ += n;
            pos_ += int64_t(n);
            count -= int64_t(n);
        }
        return true;
    }
    bool Skip(int64_t count) {
        if (count < 0 || count > remaining())
            return false;
        int64_t buffered = int64_t(bufLen_ - bufPos_);
        if (count <= buffered) {
            bufPos_ += size_t(count);
        } else {
            bufPos_ = bufLen_ = 0;
            LARGE_INTEGER at;
            at.QuadPart = pos_ + count;
            if (!SetFilePointerEx(file_, at, nullptr, FILE_BEGIN))
                return false;
        }
        pos_ += count;
        return true;
    }

private:
    bool Refill() {
        DWORD got = 0;
        if (!ReadFile(file_, buffer_, sizeof(buffer_), &got, nullptr) || got == 0)
            return false;
        bufPos_ = 0;
        bufLen_ = got;
        return true;
    }

    HANDLE file_;
    int64_t size_ = 0;
    int64_t pos_ = 0;
    uint8_t buffer_[4096];
    size_t bufPos_ = 0;
    size_t bufLen_ = 0;
};

bool ReadLength(WordReader& in, int32_t limit, int32_t* length) {
    return in.Word(length) && *length >= 0 && *length <= limit && *length <= in.remaining();
}

bool ReadName(WordReader& in, TkmHeader* h) {
    int32_t length;
    if (!ReadLength(in, kMaxNameBytes, &length))
        return false;
    std::vector<uint8_t> bytes(static_cast<size_t>(length));
    if (!in.Read(bytes.data(), length))
        return false;
    std::wstring name;
    for (size_t i = 0; i + 1 < bytes.size() && name.size() < kNameChars; i += 2) {
        wchar_t c = wchar_t(bytes[i] | (bytes[i + 1] << 8));
        if (c == 0)
            break;
        name += c;
    }
    h->hasName = true;
    h->name = name;
    return true;
}

bool ReadPalette(WordReader& in, TkmHeader* h) {
    int32_t bits, unused;
    if (!in.Word(&bits) || bits < 0 || bits > kMaxPaletteBits || !in.Word(&unused))
        return false;
    h->bitsPerPixel = bits;
    h->palette.assign(size_t(1) << bits, RGBQUAD{});
    return in.Read(h->palette.data(), int64_t(h->palette.size()) * 4);
}

// The index locates every image: the first starts 16 bytes after the index, each next one 16
// bytes after the end of the previous image. Images past the end of the file stay blank.
bool ReadIndex(WordReader& in, TkmHeader* h) {
    int32_t count;
    if (!in.Word(&count) || count < 0 || int64_t(count) * 12 > in.remaining())
        return false;
    h->tiles.resize(size_t(count));
    int64_t image = in.position() + int64_t(count) * 12 + 16;
    for (TkmTileEntry& e : h->tiles) {
        int32_t w1, w2, length;
        if (!in.Word(&w1) || !in.Word(&w2) || !in.Word(&length))
            return false;
        e.width = int16_t(uint32_t(w1) >> 16);
        e.height = int16_t(uint32_t(w2) >> 16);
        e.word = 0;
        const bool inside = length >= 0 && image + length <= in.size();
        e.position = inside ? int32_t(image - kTkmTileBase) : kTkmNoTile;
        e.length = inside ? length : 0;
        if (length >= 0)
            image += int64_t(length) + 16;
    }
    return true;
}

bool ReadProjection(WordReader& in, TkmHeader* h) {
    int32_t bytes;
    if (!in.Word(&h->projectionKind) || !ReadLength(in, kMaxProjectionBytes, &bytes))
        return false;
    h->projectionParams.resize(size_t(bytes));
    h->hasProjection = true;
    return in.Read(h->projectionParams.data(), bytes);
}

enum class Step { Continue, Done, Fail };

Step ReadRecord(WordReader& in, int32_t tag, TkmHeader* h) {
    int32_t a, b;
    switch (tag) {
    case kTkmTagVisible:
        if (!in.Word(&a))
            return Step::Fail;
        h->visible = uint8_t(a & 0xFF);
        return Step::Continue;
    case kTkmTagVersion:
        return in.Word(&a) && a == kTkmVersion ? Step::Continue : Step::Fail;
    case kTkmTagFlag:
    case kTkmTagWord260:
        return in.Skip(4) ? Step::Continue : Step::Fail;
    case kTkmTagSize:
        if (!in.Word(&h->width) || !in.Word(&h->height) || h->width < 0 || h->height < 0)
            return Step::Fail;
        return Step::Continue;
    case kTkmTagTileSize:
        if (!in.Word(&a) || !in.Word(&b) || a <= 0 || b <= 0 || a > 0x7FFF || b > 0x7FFF)
            return Step::Fail;
        h->tileWidth = a;
        h->tileHeight = b;
        h->columns = int32_t((int64_t(h->width) + a - 1) / a);
        h->rows = int32_t((int64_t(h->height) + b - 1) / b);
        return Step::Continue;
    case kTkmTagName:
        return ReadName(in, h) ? Step::Continue : Step::Fail;
    case kTkmTagSkipBlock:
        return ReadLength(in, kMaxSkipBytes, &a) && in.Skip(a) ? Step::Continue : Step::Fail;
    case kTkmTagPalette:
        return ReadPalette(in, h) ? Step::Continue : Step::Fail;
    case kTkmTagTile:
        h->tileDataStart = in.position() - 4;
        return Step::Done;
    case kTkmTagWord13:
        return in.Word(&h->word13) ? Step::Continue : Step::Fail;
    case kTkmTagWord15:
        return in.Word(&h->word15) ? Step::Continue : Step::Fail;
    case kTkmTagWord262:
        return in.Word(&h->word262) ? Step::Continue : Step::Fail;
    case kTkmTagIndex:
        return ReadIndex(in, h) ? Step::Done : Step::Fail;
    case kTkmTagExtra:
        if (!ReadLength(in, kMaxExtraBytes, &a))
            return Step::Fail;
        h->extra.resize(size_t(a));
        h->hasExtra = true;
        return in.Read(h->extra.data(), a) ? Step::Continue : Step::Fail;
    case kTkmTagRefPoint: {
        TkmRefPoint p;
        if (!in.Word(&p.x) || !in.Word(&p.y) || !in.Word(&p.longitude) || !in.Word(&p.latitude))
            return Step::Fail;
        h->refPoints.push_back(p);
        return Step::Continue;
    }
    case kTkmTagProjection:
        return ReadProjection(in, h) ? Step::Continue : Step::Fail;
    case kTkmTagWord261:
        if (!in.Word(&a))
            return Step::Fail;
        h->pair261[0] = (uint32_t(a) >> 16) ? uint16_t(a & 0xFFFF) : 0;
        h->pair261[1] = uint16_t(uint32_t(a) >> 16);
        return Step::Continue;
    default:
        return Step::Continue; // not a known tag: the word alone is skipped
    }
}

} // namespace

int32_t TkmNameLength(size_t characters) {
    return int32_t((2 * characters + 5) & ~size_t(3));
}

int32_t TkmTileGrid::columns() const {
    return tileWidth > 0 ? int32_t((int64_t(width) + tileWidth - 1) / tileWidth) : 0;
}

int32_t TkmTileGrid::rows() const {
    return tileHeight > 0 ? int32_t((int64_t(height) + tileHeight - 1) / tileHeight) : 0;
}

int32_t TkmTileGrid::TileWidth(int32_t column) const {
    return std::min(tileWidth, width - column * tileWidth);
}

int32_t TkmTileGrid::TileHeight(int32_t row) const {
    return std::min(tileHeight, height - row * tileHeight);
}

int ReadTkmHeader(const wchar_t* path, TkmHeader* header) {
    *header = TkmHeader();
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    int result = 1;
    {
        WordReader in(file);
        int32_t tag;
        if (in.size() > 0 && in.Word(&tag) && tag == kTkmTagVisible) {
            Step step = ReadRecord(in, tag, header);
            while (step == Step::Continue && in.Word(&tag))
                step = ReadRecord(in, tag, header);
            result = step == Step::Fail ? 1 : 0;
        }
    }
    CloseHandle(file);
    return result;
}

void TkmFileWriter::Word(int32_t value) {
    uint8_t b[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16),
                    uint8_t(uint32_t(value) >> 24)};
    Bytes(b, 4);
}

void TkmFileWriter::Words(std::initializer_list<int32_t> values) {
    for (int32_t v : values)
        Word(v);
}

void TkmFileWriter::Bytes(const void* data, size_t count) {
    if (ok_ && count > 0 && fwrite(data, 1, count, file_) != count)
        ok_ = false;
}

int64_t TkmFileWriter::Tell() {
    int64_t at = _ftelli64(file_);
    if (at < 0)
        ok_ = false;
    return at;
}

void TkmFileWriter::Seek(int64_t offset) {
    if (ok_ && _fseeki64(file_, offset, SEEK_SET) != 0)
        ok_ = false;
}

void TkmFileWriter::SeekEnd() {
    if (ok_ && _fseeki64(file_, 0, SEEK_END) != 0)
        ok_ = false;
}

void WriteTkmHeader(TkmFileWriter& out, int32_t width, int32_t height, int32_t tileWidth,
                    int32_t tileHeight, const wchar_t* name) {
    out.Words({kTkmTagVisible, 1, kTkmTagVersion, kTkmVersion, kTkmTagFlag, 1});
    out.Words({kTkmTagSize, width, height, kTkmTagTileSize, tileWidth, tileHeight});
    size_t chars = name ? wcslen(name) : 0;
    if (chars == 0)
        return;
    const int32_t length = TkmNameLength(chars);
    std::vector<uint8_t> bytes(size_t(length), 0);
    for (size_t i = 0; i < chars; ++i) {
        bytes[2 * i] = uint8_t(name[i] & 0xFF);
        bytes[2 * i + 1] = uint8_t(name[i] >> 8);
    }
    out.Words({kTkmTagName, length});
    out.Bytes(bytes.data(), bytes.size());
}
