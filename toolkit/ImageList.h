#pragma once
// A numbered list of icons, for components that show one image of several.
#include <memory>
#include <vector>

#include "toolkit/Component.h"
#include "toolkit/Icon.h"

class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* AOwner);

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    int Count() const { return static_cast<int>(FImages.size()); }

    // Stores a copy of icon at the end of the list; throws Exception for an empty icon.
    void AddIcon(const TIcon& icon);
    void Clear();
    // Copies image index into destination; an index that is not in the list clears it.
    void GetIcon(int index, TIcon& destination) const;

private:
    int FWidth = 16;
    int FHeight = 16;
    std::vector<std::unique_ptr<TIcon>> FImages;
};
