#include "app/window/project_kept_parts.h"

namespace pc {

namespace {

// The owner's one kept part of this type, made on first use; the owner deletes it.
template <class Kept>
Kept& KeptOn(QObject& owner)
{
    if (auto* kept = owner.findChild<Kept*>(QString(), Qt::FindDirectChildrenOnly))
        return *kept;
    return *new Kept(owner);
}

} // namespace

KeptPicture::KeptPicture(QObject& box) : QObject(&box) {}

void KeptPicture::Keep(QObject& box, project::KeptBytes bytes, TColor colour)
{
    KeptPicture& kept = KeptOn<KeptPicture>(box);
    kept.bytes_ = std::move(bytes);
    kept.colour_ = colour;
}

void KeptPicture::Drop(QObject& box)
{
    if (auto* kept = box.findChild<KeptPicture*>(QString(), Qt::FindDirectChildrenOnly))
        kept->bytes_.reset();
}

project::KeptBytes KeptPicture::For(const QObject& box, int tag, TColor colour)
{
    const auto* kept = box.findChild<KeptPicture*>(QString(), Qt::FindDirectChildrenOnly);
    if (!kept || !kept->bytes_ || tag > 0 || kept->colour_ != colour)
        return nullptr;
    return kept->bytes_;
}

KeptMaterials::KeptMaterials(QObject& page) : QObject(&page) {}

void KeptMaterials::Keep(QObject& page, std::vector<project::Material> materials, std::vector<float> visibleSizes)
{
    KeptMaterials& kept = KeptOn<KeptMaterials>(page);
    kept.materials_ = std::move(materials);
    kept.visibleSizes_ = std::move(visibleSizes);
}

const KeptMaterials* KeptMaterials::Of(const QObject& page)
{
    return page.findChild<KeptMaterials*>(QString(), Qt::FindDirectChildrenOnly);
}

KeptTexts::KeptTexts(QObject& page) : QObject(&page) {}

void KeptTexts::Keep(QObject& page, project::ReadTexts texts)
{
    KeptOn<KeptTexts>(page).texts_ = std::move(texts);
}

project::ReadTexts KeptTexts::Of(const QObject& page)
{
    const auto* kept = page.findChild<KeptTexts*>(QString(), Qt::FindDirectChildrenOnly);
    return kept ? kept->texts_ : project::ReadTexts{};
}

KeptUnreferenced::KeptUnreferenced(QObject& window) : QObject(&window) {}

void KeptUnreferenced::Keep(QObject& window, std::vector<project::KeptBytes> bytes, bool replace)
{
    KeptUnreferenced& kept = KeptOn<KeptUnreferenced>(window);
    if (replace)
        kept.bytes_.clear();
    kept.bytes_.insert(kept.bytes_.end(), bytes.begin(), bytes.end());
}

std::vector<project::KeptBytes> KeptUnreferenced::Of(const QObject& window)
{
    const auto* kept = window.findChild<KeptUnreferenced*>(QString(), Qt::FindDirectChildrenOnly);
    return kept ? kept->bytes_ : std::vector<project::KeptBytes>{};
}

} // namespace pc
