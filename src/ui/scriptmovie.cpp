// TWindowScript's movie: at most one player, owned, made by the movie player factory.
#include "script/lua/lua.h"
#include "ui/movieplayer.h"
#include "ui/windowscript.h"

bool TWindowScript::StartMovie(str file, bool translate, bool allowInput) {
    if (file.Length() == 0) return false;
    mMovie.reset(MakeMoviePlayer(file));
    if (mMovie == nullptr) return false;
    if (!mMovie->Create(translate, allowInput)) {
        mMovie.reset();
        return false;
    }
    return true;
}

bool TWindowScript::IsMoviePlaying() {
    return mMovie != nullptr && mMovie->IsPlaying();
}

void TWindowScript::StopMovie() {
    if (mMovie == nullptr) return;
    mMovie->Close();
    mMovie.reset();
}

void TWindowScript::EndMovie() {
    if (mMovie == nullptr) return;
    lua_State* L = GetState();
    int height = lua_gettop(L);
    StopMovie();
    if (IsYielded()) ResumeWaiting(0);
    if (lua_gettop(L) > height) lua_settop(L, height);
}
