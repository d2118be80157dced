#pragma once
// While a picture is published, the render reads the scene objects, their
// models and textures and the output size between its tiles. Every command
// that could change the scene, the project or the settings is disabled for
// that time and gets its own enabled state back afterwards.
#include <QPointer>
#include <utility>
#include <vector>

class QAction;

namespace pc {

class TFormMainQV7K;

// The commands a publish disables: loading, inserting and clearing projects,
// adding, copying and deleting objects, face pictures, the start, rendering
// and anti-aliasing settings, and publishing itself.
std::vector<QAction*> SceneChangingCommands(TFormMainQV7K& window);

class PublishLock {
public:
    explicit PublishLock(TFormMainQV7K& window);
    ~PublishLock();
    PublishLock(const PublishLock&) = delete;
    PublishLock& operator=(const PublishLock&) = delete;

private:
    std::vector<std::pair<QPointer<QAction>, bool>> saved_;
};

} // namespace pc
