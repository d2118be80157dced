#include <gtest/gtest.h>

#include "app/publish/publish_types.h"

namespace {

using pc::PublishType;

TEST(PublishTypes, ExtensionFixUp)
{
    struct Case { const char* name; PublishType chosen; const char* file; PublishType type; };
    const Case cases[] = {
        {"/p/shot", PublishType::Gif, "/p/shot.gif", PublishType::Gif},
        {"/p/shot.png", PublishType::Jpeg, "/p/shot.png", PublishType::PngCustom},
        {"/p/shot.PNG", PublishType::Png24, "/p/shot.PNG", PublishType::Png24},
        {"/p/shot.jpeg", PublishType::Jpeg, "/p/shot.jpg", PublishType::Jpeg},
        {"/p/shot.JPG", PublishType::Bmp, "/p/shot.JPG", PublishType::Jpeg},
        {"/p/shot.bmp", PublishType::Png24, "/p/shot.bmp", PublishType::Bmp},
        {"/p.d/shot", PublishType::Bmp, "/p.d/shot.bmp", PublishType::Bmp},
        {"/p/shot.tif", PublishType::Png24, "/p/shot.png", PublishType::Png24},
    };
    for (const auto& c : cases) {
        auto t = pc::FixPublishExtension(c.name, c.chosen);
        EXPECT_EQ(t.fileName, c.file) << c.name;
        EXPECT_EQ(t.type, c.type) << c.name;
    }
}

} // namespace
