#include "ui/movieplayer.h"

namespace {

TMoviePlayerFactory gFactory = nullptr;

}  // namespace

void SetMoviePlayerFactory(TMoviePlayerFactory factory) {
    gFactory = factory;
}

TMoviePlayer* MakeMoviePlayer(const str& file) {
    return gFactory != nullptr ? gFactory(file) : nullptr;
}
