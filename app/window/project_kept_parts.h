#pragma once
// What a project load could not show, kept on the widget it belongs to so the
// next save writes it back as it was read. It goes with its widget.
#include <QObject>
#include <vector>

#include "app/project/project_model.h"
#include "platform/color.h"

namespace pc {

// The bytes of a face, floor or background picture that did not decode. They
// stand for the box's picture while the box still shows the colour it was
// loaded with: a new picture or a new colour is the user's newer choice.
class KeptPicture : public QObject {
    Q_OBJECT
public:
    explicit KeptPicture(QObject& box); // owned by the box
    static void Keep(QObject& box, project::KeptBytes bytes, TColor colour);
    // The box's picture is what the next load gives it.
    static void Drop(QObject& box);
    // The kept bytes when they still stand for the box's picture.
    static project::KeptBytes For(const QObject& box, int tag, TColor colour);

private:
    project::KeptBytes bytes_;
    TColor colour_ = clWhite;
};

// The materials of a model object as read. When the model blob gave no model
// nothing of them can be shown, and the saved values and pictures are written
// back; otherwise the pictures that did not load are (Material::kept).
class KeptMaterials : public QObject {
    Q_OBJECT
public:
    explicit KeptMaterials(QObject& page); // owned by the page
    static void Keep(QObject& page, std::vector<project::Material> materials, std::vector<float> visibleSizes);
    static const KeptMaterials* Of(const QObject& page);

    const std::vector<project::Material>& Materials() const { return materials_; }
    const std::vector<float>& VisibleSizes() const { return visibleSizes_; }

private:
    std::vector<project::Material> materials_;
    std::vector<float> visibleSizes_;
};

// The bytes of an object's 8-bit texts as the load read them: the next save
// writes them back while the texts are unchanged.
class KeptTexts : public QObject {
    Q_OBJECT
public:
    explicit KeptTexts(QObject& page); // owned by the page
    static void Keep(QObject& page, project::ReadTexts texts);
    static project::ReadTexts Of(const QObject& page);

private:
    project::ReadTexts texts_;
};

// The bytes of loaded projects that no key referred to, kept on the window
// and written back, without keys, by every save of its scene.
class KeptUnreferenced : public QObject {
    Q_OBJECT
public:
    explicit KeptUnreferenced(QObject& window); // owned by the window
    // A load that replaces the scene replaces them; one that adds to it adds.
    static void Keep(QObject& window, std::vector<project::KeptBytes> bytes, bool replace);
    static std::vector<project::KeptBytes> Of(const QObject& window);

private:
    std::vector<project::KeptBytes> bytes_;
};

} // namespace pc
