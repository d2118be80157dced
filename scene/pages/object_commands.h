#pragma once
// Adding, deleting and copying scene objects: keeps the object table, the
// page control and the work files in step. The main window supplies what
// lives on it through ObjectHost; messages and questions go through the
// message-box seam.
#include <QObject>
#include <optional>
#include <string>
#include <utility>

#include "platform/color.h"

class QTabWidget;

namespace pc {

class GLTSObject;
class ObjectTable;
class TextureStore;

class ObjectHost {
public:
    virtual ~ObjectHost() = default;
    // The model file for a new 3DS object; nullopt when the user cancels.
    virtual std::optional<std::string> ChooseModelFile() = 0;
    // Colour that frames loaded pictures.
    virtual TColor FloorColor() const = 0;
    // A page was built and shown (face clicks, the Objects menu, the camera).
    virtual void ObjectAdded(GLTSObject& page) = 0;
    // A page is about to go.
    virtual void ObjectRemoved(GLTSObject& page) = 0;
};

// The camera moves out to distance 7 on its bearing when a new object joins
// and the camera is nearer than 5; returns the new X and Z positions.
std::optional<std::pair<int, int>> CameraPullBack(int cameraX, int cameraZ, double orbitAngle);

// A copy's Position Z: 30 further on, wrapping to 1 near the end.
int NudgePositionZ(int position, int max);

class ObjectCommands : public QObject {
    Q_OBJECT
public:
    ObjectCommands(QTabWidget& pages, ObjectTable& table, TextureStore& textures, ObjectHost& host);

    // Creates an object of the kind in the first free slot and shows it;
    // returns the slot, or -1 when the table is full or no model was chosen.
    // modelFile stands in for the model dialog of a 3DS object; name is the
    // object's OName.
    int AddObject(int kind, std::optional<std::string> modelFile = std::nullopt, const std::string& name = {});
    // Deletes the shown object after asking, or without a word when silent.
    void DeleteObject(bool silent = false);
    // Duplicates the shown object; returns the new slot or -1.
    int CopyObject();

    // The current object's slot (-1 while there is none).
    int CurrentSlot() const { return currentSlot_; }
    GLTSObject* ShownObject() const;

    // Where the default pictures of books and CDs come from.
    void SetDefaultPictureFolder(std::string folder) { pictureFolder_ = std::move(folder); }

private:
    void LoadDefaultPictures(GLTSObject& page);
    void CopyFace(GLTSObject& src, GLTSObject& dst, int face);
    std::string ModelFileForCopy(const GLTSObject& src) const;
    void CopyMaterials(GLTSObject& src, GLTSObject& dst);
    void DeleteWorkFiles(GLTSObject& page);

    QTabWidget& pages_;
    ObjectTable& table_;
    TextureStore& textures_;
    ObjectHost& host_;
    int currentSlot_ = -1;
    std::string pictureFolder_;
};

} // namespace pc
