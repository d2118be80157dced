#pragma once
// A page control with the object commands, backed by a texture store that
// keeps only files (the real BMP reader, work files in the texture folder)
// and a host that records what the window would do.
#include <gtest/gtest.h>

#include <QTabWidget>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/bmp_file.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "scene/pages/face_textures.h"
#include "scene/pages/object_commands.h"
#include "scene/pages/object_page.h"
#include "scene/pages/object_table.h"

namespace pc::test {

class FileTextureStore : public TextureStore {
public:
    LoadedTexture Load(const std::string& file, int textureId) override
    {
        return Keep(LoadBmpFile(file), textureId); // throws before anything changes
    }
    LoadedTexture LoadBmpBytes(const std::vector<uint8_t>& bytes, const std::string&, int textureId) override
    {
        return Keep(ReadBmp(bytes), textureId);
    }
    LoadedTexture Keep(const Bitmap& bmp, int textureId)
    {
        int id = textureId > 0 ? textureId : next_++;
        SaveBmpFile(TextureFolder() + std::to_string(id), bmp);
        live.insert(id);
        return {id, bmp};
    }
    void Release(int textureId) override
    {
        released.push_back(textureId);
        live.erase(textureId);
    }
    std::set<int> live;
    std::vector<int> released;

private:
    int next_ = 1;
};

class RecordingHost : public ObjectHost {
public:
    std::optional<std::string> ChooseModelFile() override { return modelAnswer; }
    TColor FloorColor() const override { return 0x00FF00; }
    void ObjectAdded(GLTSObject& page) override { added.push_back(page.Tag); }
    void ObjectRemoved(GLTSObject& page) override { removed.push_back(page.Tag); }
    std::optional<std::string> modelAnswer;
    std::vector<int> added, removed;
};

class PagesTest : public ::testing::Test {
protected:
    PagesTest()
    {
        commands.SetDefaultPictureFolder(std::string(PRISMCASE_SOURCE_DIR) + "/data/");
    }
    ~PagesTest() override { RemoveWorkFolder(); }

    GLTSObject& Page(int slot)
    {
        GLTSObject* p = table.At(slot);
        if (!p)
            throw std::runtime_error("no object in slot " + std::to_string(slot));
        return *p;
    }

    ScriptedMessageBoxes boxes;
    ScopedMessageBoxes scopedBoxes{boxes};
    // The store outlives the page control: pages give their textures back.
    FileTextureStore textures;
    RecordingHost host;
    ObjectTable table;
    QTabWidget tabs;
    ObjectCommands commands{tabs, table, textures, host};
};

} // namespace pc::test
