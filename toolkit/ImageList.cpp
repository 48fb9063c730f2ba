#include "toolkit/ImageList.h"

#include "toolkit/Exception.h"

TImageList::TImageList(TComponent* AOwner) : TComponent(AOwner) {}

void TImageList::AddIcon(const TIcon& icon) {
    if (icon.Empty()) {
        throw Exception("Cannot add an empty icon to an image list");
    }
    auto copy = std::make_unique<TIcon>();
    copy->Assign(&icon);
    FImages.push_back(std::move(copy));
}

void TImageList::Clear() {
    FImages.clear();
}

void TImageList::GetIcon(int index, TIcon& destination) const {
    if (index < 0 || index >= Count()) {
        destination.Clear();
        return;
    }
    destination.Assign(FImages[static_cast<std::size_t>(index)].get());
}
