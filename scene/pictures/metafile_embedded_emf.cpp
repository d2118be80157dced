// The enhanced metafile that a WMF carries in META_ESCAPE comment records
// (identifier "WMFC"), split over as many records as it needs. The system
// that loads a WMF as an EMF plays that EMF rather than the 16-bit records.
#include "platform/byte_reader.h"
#include "platform/errors.h"
#include "scene/pictures/metafile_records.h"

namespace pc::metafile {

namespace {

constexpr uint16_t META_ESCAPE = 0x0626, MFCOMMENT = 0x000F;
constexpr uint32_t kWmfcIdentifier = 0x43464D57, kEnhancedMetafileComment = 1, kCommentVersion = 0x00010000;
// The fields from the identifier to the piece's data.
constexpr uint32_t kPieceHeaderBytes = 34;

} // namespace

std::vector<uint8_t> EmbeddedEmf(std::span<const uint8_t> data, const WmfHeader& header)
{
    std::vector<uint8_t> emf;
    uint32_t pieces = 0, seen = 0, total = 0, remaining = 0;
    bool broken = false;
    ForEachWmfRecord(data, header.recordsStart, [&](uint16_t function, std::span<const uint8_t> params) {
        if (function != META_ESCAPE || params.size() < 8)
            return true;
        ByteReader p(params);
        const uint16_t escape = p.u16le(), byteCount = p.u16le();
        if (escape != MFCOMMENT || p.u32le() != kWmfcIdentifier)
            return true; // another program's comment
        if (p.remaining() < kPieceHeaderBytes - 4) {
            broken = true;
            return false;
        }
        const uint32_t type = p.u32le(), version = p.u32le();
        p.skip(2 + 4); // checksum, flags
        const uint32_t count = p.u32le(), size = p.u32le(), left = p.u32le(), emfSize = p.u32le();
        if (seen == 0) {
            pieces = count;
            total = remaining = emfSize;
        }
        // Each piece says how much is still to come: a piece missing, out of
        // order or of another EMF breaks the chain.
        broken = type != kEnhancedMetafileComment || version != kCommentVersion || count != pieces ||
                 emfSize != total || total > data.size() || size > remaining || left != remaining - size ||
                 byteCount != kPieceHeaderBytes + uint64_t(size) || size > p.remaining();
        if (broken)
            return false;
        auto piece = p.take(size);
        emf.insert(emf.end(), piece.begin(), piece.end());
        remaining -= size;
        ++seen;
        return true;
    });
    if (broken || seen == 0 || seen != pieces || remaining != 0)
        return {};
    try {
        ReadEmfHeader(emf);
        // The header's own count of the bytes must agree.
        ByteReader r(emf);
        r.seek(48);
        if (r.u32le() != total)
            return {};
    } catch (const BadInput&) {
        return {};
    }
    return emf;
}

} // namespace pc::metafile
