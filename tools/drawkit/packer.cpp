#include "packer.h"

#include <algorithm>

namespace drawkit {

int Packer::Add(const Image& picture) {
    const uint64_t hash = HashImage(picture);
    auto range = mByHash.equal_range(hash);
    for (auto it = range.first; it != range.second; ++it) {
        if (mPictures[size_t(it->second)] == picture) return it->second;
    }
    const int id = int(mPictures.size());
    mPictures.push_back(picture);
    mByHash.emplace(hash, id);
    return id;
}

bool Packer::Shelve(const std::vector<int>& ids, int side, int sheet, size_t* placed) {
    // Shelves from the top down; a picture goes on the first shelf with room for it (the tails
    // of earlier shelves take the smaller pictures that come later), else on a new shelf.
    struct Shelf {
        int y, height, x;
    };
    std::vector<Shelf> shelves;
    int bottom = 0;
    size_t count = 0;
    for (int id : ids) {
        const Image& p = mPictures[size_t(id)];
        if (p.width > side) break;
        Shelf* fit = nullptr;
        for (Shelf& shelf : shelves) {
            if (shelf.x + p.width <= side && p.height <= shelf.height) {
                fit = &shelf;
                break;
            }
        }
        if (fit == nullptr) {
            if (bottom + p.height > side) break;
            shelves.push_back(Shelf{bottom, p.height, 0});
            bottom += p.height;
            fit = &shelves.back();
        }
        mPlaces[size_t(id)] = Placement{sheet, fit->x, fit->y};
        fit->x += p.width;
        ++count;
    }
    *placed = count;
    return count == ids.size();
}

bool Packer::Pack(std::string* error) {
    mPlaces.assign(mPictures.size(), Placement{});
    mSides.clear();
    for (const Image& p : mPictures) {
        if (p.width > mLargest || p.height > mLargest) {
            *error = "a picture of " + std::to_string(p.width) + " x " + std::to_string(p.height) +
                     " is larger than a sheet";
            return false;
        }
    }
    // The pictures in packing order: batch by batch, each batch's tallest first.
    std::vector<int> order;
    std::vector<size_t> starts = mBatches;
    if (starts.empty() || starts.front() != 0) starts.insert(starts.begin(), 0);
    starts.push_back(mPictures.size());
    for (size_t b = 0; b + 1 < starts.size(); ++b) {
        std::vector<int> batch;
        for (size_t id = starts[b]; id < starts[b + 1]; ++id)
            batch.push_back(int(id));
        std::stable_sort(batch.begin(), batch.end(), [this](int a, int c) {
            return mPictures[size_t(a)].height > mPictures[size_t(c)].height;
        });
        order.insert(order.end(), batch.begin(), batch.end());
    }
    // Full sheets, then the rest on the smallest square that holds it.
    size_t next = 0;
    while (next < order.size()) {
        std::vector<int> rest(order.begin() + long(next), order.end());
        const int sheet = int(mSides.size());
        size_t placed = 0;
        if (Shelve(rest, mLargest, sheet, &placed)) {
            int side = 1;
            while (side < mLargest) {
                size_t fits = 0;
                if (Shelve(rest, side, sheet, &fits)) break;
                side *= 2;
            }
            Shelve(rest, side, sheet, &placed);
            mSides.push_back(side);
            break;
        }
        mSides.push_back(mLargest);
        next += placed;
    }
    return true;
}

Image Packer::Compose(int sheet) const {
    Image out(mSides[size_t(sheet)], mSides[size_t(sheet)]);
    for (size_t id = 0; id < mPictures.size(); ++id) {
        if (mPlaces[id].sheet == sheet) Blit(mPictures[id], &out, mPlaces[id].x, mPlaces[id].y);
    }
    return out;
}

}  // namespace drawkit
