#include "gif_test_util.h"

#include "codecs/gif/gif_errors.h"
#include "platform/file_io.h"
#include "tests/support/test_data.h"

namespace pc::gif::test {

std::vector<uint8_t> ReadAll(const std::string& path)
{
    return ReadFileBytes(path);
}

std::vector<std::string> ReadableSuiteFiles()
{
    std::vector<std::string> files;
    for (const auto& f : pc::test::FilesIn(pc::test::kGifTestImages + "gif-test-suite", {".gif"}))
        if (f.find("/image-zero-height.gif") == std::string::npos && f.find("/image-zero-size.gif") == std::string::npos)
            files.push_back(f);
    return files;
}

LoadResult LoadInto(TGIFImage& gif, const std::vector<uint8_t>& bytes, int maxFrames)
{
    LoadResult res;
    gif.OnWarning = [&](const void*, TGIFSeverity, const std::string& m) { res.warnings.push_back(m); };
    ByteReader r(bytes);
    try {
        gif.LoadFromStream(r, maxFrames);
        res.ok = true;
    } catch (const GIFException& e) {
        res.error = e.what();
    }
    gif.OnWarning = nullptr;
    return res;
}

std::vector<uint8_t> SaveToBytes(TGIFImage& gif)
{
    ByteWriter w;
    gif.SaveToStream(w);
    return w.take();
}

std::vector<TGIFSubImage*> ImageFrames(TGIFImage& gif)
{
    std::vector<TGIFSubImage*> frames;
    for (const auto& f : gif.Images().Items())
        if (!f->Empty())
            frames.push_back(f.get());
    return frames;
}

std::vector<uint8_t> MapBytes(const TGIFColorMap& map)
{
    std::vector<uint8_t> v;
    for (const RGBQuad& q : map.ExportPalette()) {
        v.push_back(q.red);
        v.push_back(q.green);
        v.push_back(q.blue);
    }
    return v;
}

} // namespace pc::gif::test
