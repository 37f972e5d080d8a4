// Packs pictures into sheets: square, power-of-two sides of at most 1024 pixels (the largest a
// texture takes without its "slow" option). Pictures arrive already trimmed to their ink with
// their padding (image.h's TrimToInk); equal pictures are kept once. Pictures are added in
// batches, one batch a sprite child; the packer shelf-packs the batches in order, each batch's
// pictures tallest first, each on the first shelf with room for it (later, smaller pictures fill
// the tails of earlier shelves), opening a sheet only when the current one is full, so one
// child's pictures lie on as few sheets as possible and the sheets follow the children's order.
// The last sheet is shrunk to the smallest side that still holds its pictures.
//
// Used by one thread.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "image.h"

namespace drawkit {

constexpr int kLargestSheet = 1024;

struct Placement {
    int sheet = -1;
    int x = 0;
    int y = 0;
};

class Packer {
public:
    explicit Packer(int largestSide = kLargestSheet) : mLargest(largestSide) {}

    // Starts the batch of the next child.
    void BeginBatch() { mBatches.push_back(mPictures.size()); }
    // Adds a picture and answers its id; a picture equal to one added before answers that one's.
    int Add(const Image& picture);

    // Places every picture. False with *error when a picture is larger than a sheet.
    bool Pack(std::string* error);

    int PictureCount() const { return int(mPictures.size()); }
    const Image& Picture(int id) const { return mPictures[size_t(id)]; }
    const Placement& Where(int id) const { return mPlaces[size_t(id)]; }
    int SheetCount() const { return int(mSides.size()); }
    int SheetSide(int sheet) const { return mSides[size_t(sheet)]; }
    // The sheet's pixels, every picture at its place.
    Image Compose(int sheet) const;

private:
    // Shelf-packs the pictures of ids into a square of that side from the top left; false when
    // they do not all fit. Places them on the given sheet.
    bool Shelve(const std::vector<int>& ids, int side, int sheet, size_t* placed);

    int mLargest;
    std::vector<Image> mPictures;
    std::multimap<uint64_t, int> mByHash;
    std::vector<size_t> mBatches;
    std::vector<Placement> mPlaces;
    std::vector<int> mSides;
};

}  // namespace drawkit
