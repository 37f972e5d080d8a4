// TMoviePlayer: what the window script asks of a movie player, which plays a movie file over the
// game window (splash screens). The player itself lives in the online layer, above this one: it
// installs a factory at start-up (SetMoviePlayerFactory, from RegisterOnlineServices). Without a
// factory no movie starts, and splash screens show their image instead.
//
// The window script owns the player it made and deletes it when the movie stops. Main thread
// only.
#pragma once

#include "foundation/str.h"

class TMoviePlayer {
public:
    // Closes the player.
    virtual ~TMoviePlayer() = default;
    // Starts the movie over the main window: translate hands it the string table's texts,
    // allowInput lets the player click into it. False when nothing plays.
    virtual bool Create(bool translate, bool allowInput) = 0;
    // False once nothing plays any more.
    virtual bool IsPlaying() = 0;
    // Takes the movie off the screen and gives the game window the focus again; safe to call
    // twice.
    virtual void Close() = 0;
};

// Makes a player for the movie file (not yet playing); null when none can be made.
using TMoviePlayerFactory = TMoviePlayer* (*)(const str& file);

// Null removes the factory.
void SetMoviePlayerFactory(TMoviePlayerFactory factory);
// A new player from the installed factory (owned by the caller); null without a factory.
TMoviePlayer* MakeMoviePlayer(const str& file);
